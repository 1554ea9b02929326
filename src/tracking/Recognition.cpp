// Courier recognition: the number-recognition service names the company of
// a typed number, and the add panel's company button shows it.
#include "app/Form1.h"
#include "app/Tr.h"
#include "app/Text.h"
#include "tracking/RecognitionText.h"

void Form1::Text3_Change()
{
    // Only numbers may stand in the box; anything else empties it (and the
    // emptied text is too short to be recognised).
    if (!isNumeric(Text3->currentText()) && !Text3->currentText().isEmpty()) {
        // Pasted text with a number in it: the box takes the number (and
        // this runs again for it).
        if (takePastedNumbers(Text3->currentText()))
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
    company->setText(Parcelio::tr("正在检测快递"));
    const QString failed = Parcelio::tr("检测出错,请查询您的单号是否正确");

    recognitionReply.clear();
    // Typing on during the wait runs this again for the longer number; that
    // inner run finishes first, so this one writes the caption last.
    recognitionReply = GetBody(recognitionUrl(cfg.recognitionHost, number));
    if (recognitionReply.isEmpty())
        return;
    if (recognitionReply.contains(QStringLiteral("503"))) {
        company->setText(Parcelio::tr("检测出错,请手动选择或多次刷新"));
        return;
    }
    const std::optional<QString> tail = recognitionTailOf(recognitionReply);
    if (!tail) {
        company->setText(failed);
        return;
    }
    recognitionTail = *tail;
    recognizedCode = recognizedCodeOf(recognitionTail);
    const QList<CourierRecord> rows = store().couriersByShibie(recognizedCode);
    if (!store().error().isEmpty())
        company->setText(failed);
    else if (rows.isEmpty())
        company->setText(Parcelio::tr("未找到对应快递,请手动选择"));
    else
        company->setText(rows.first().name);
}
