// Placeholders until the menu, directory and add-panel code lands.
#include "app/Form1.h"
void Form1::Text3_Change() {}
void Form1::Command2_Click() {}
void Form1::recognize() {}
void Form1::queryNewParcel() {}
void Form1::Image2_Click(int) {}
void Form1::Form_KeyDown(int, Qt::KeyboardModifiers) {}
void Form1::menuCommand(int) {}
void Form1::narrowListToNumber(const QString &, bool) {}
void Form1::kdlb() {}
void Form1::openCourierPanel(int) {}
void Form1::Text8_Change() {}
void Form1::Label20_Click(int) {}
void Form1::Label20_MouseMove(int) {}
void Form1::resetQuickPickColours() {}
void Form1::Command4_Click() {}
void Form1::ListView2_DblClick() {}
void Form1::ListView2_MouseDown(Qt::MouseButton) {}
void Form1::fillCouriers(const QList<CourierRecord> &) {}
void Form1::Command1_Click(int) {}
