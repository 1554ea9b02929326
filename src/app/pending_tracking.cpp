// Placeholders until the query code lands (being written now).
#include "app/Form1.h"
QString Form1::GetBody(const QString &) { return QString(); }
void Form1::kdgs(const QString &) {}
void Form1::cx() {}
void Form1::hx2() {}
void Form1::Timer7_Timer() {}
void Form1::Timer1_Timer() {}
QString Form1::trackingUrl(const QString &) const { return QString(); }
void Form1::sX() {}
void Form1::read() {}
void Form1::Text1_Click() {}
void Form1::setListIndex(int) {}
void Form1::Command5_Click() {}
void Form1::gxtj() {}
void Form1::ql() {}
