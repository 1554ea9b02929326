// Courier recognition: the number-recognition service names the company of
// a typed number, and the add panel's company button shows it.
#include "app/Form1.h"
#include "app/Features.h"
#include "book/PastedNumbers.h"
#include "store/Store.h"
#include "app/Tr.h"
#include "app/Text.h"
#include "tracking/Intake.h"
#include "tracking/RecognitionText.h"

#include <QLineEdit>
#include <QRegularExpression>

void Form1::Text3_Change()
{
    // Numbers, and letters with digits as today's numbers begin
    // (SF1234567890123), stand in the box, upper-cased as they are typed;
    // anything else empties it (and the emptied text is too short to be
    // recognised).
    const QString text = Text3->currentText();
    static const QRegularExpression lettersAndDigits(QStringLiteral("^[A-Za-z0-9]+$"));
    if (lettersAndDigits.match(text).hasMatch() && text != text.toUpper()) {
        QLineEdit *edit = Text3->lineEdit();
        const int cursor = edit ? edit->cursorPosition() : int(text.size());
        Text3->setEditText(text.toUpper()); // runs this again for the upper-cased text
        if (edit)
            edit->setCursorPosition(cursor);
        return;
    }
    if (!text.isEmpty() && !isNumeric(text) && !lettersAndDigits.match(text).hasMatch()) {
        // Pasted text with a number in it: the box takes the number (and
        // this runs again for it).
        if (features().pastedNumbers().take(text))
            return;
        Text3->setEditText(QString());
    }
    if (Check8->isChecked())
        recognize();
}

void Form1::Command2_Click()
{
    recognize();
}

void Form1::recognize()
{
    const QString number = Text3->currentText();
    if (number.size() <= 9)
        return;
    QPushButton *company = Command1(12);
    addCourier.clear();
    company->setText(Parcelio::tr("正在检测快递"));
    const QString failed = Parcelio::tr("检测出错,请查询您的单号是否正确");

    recognitionReply.clear();
    // Typing on during the wait runs this again for the longer number; that
    // inner run finishes first, so this one writes the caption last.
    recognitionReply = GetBody(recognitionUrl(cfg.recognitionHost, number));
    if (recognitionReply.isEmpty())
        return;
    const RecognisedCourier r = courierOfRecognition(store(), recognitionReply);
    if (const std::optional<QString> tail = recognitionTailOf(recognitionReply);
        tail && r.outcome != RecognisedCourier::Busy) {
        recognitionTail = *tail;
        recognizedCode = recognizedCodeOf(recognitionTail);
    }
    switch (r.outcome) {
    case RecognisedCourier::Named: chooseCourier(company, r.courier.name); break;
    case RecognisedCourier::Busy: company->setText(Parcelio::tr("检测出错,请手动选择或多次刷新")); break;
    case RecognisedCourier::NotInDirectory:
        company->setText(Parcelio::tr("未找到对应快递,请手动选择"));
        break;
    case RecognisedCourier::Unreadable:
    case RecognisedCourier::DatabaseFailed: company->setText(failed); break;
    }
}
