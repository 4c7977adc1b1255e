#include "gui/dialogs/DebugWindow.h"

#include "gui/platform/Fonts.h"

#include <QPlainTextEdit>
#include <QPushButton>

TfrmDebug::TfrmDebug(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmDebug"));
    setWindowTitle(QStringLiteral("frmDebug"));
    setFont(FormFont());
    // Closing it only hides it; it never keeps the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    // A 691 x 530 window at (511, 214): its client area without the frame.
    move(511, 214);
    resize(683, 503);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(24, 16, 625, 417);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setPlainText(QStringLiteral("Memo1"));

    Exit = new QPushButton(QStringLiteral("Exit"), this);
    Exit->setObjectName(QStringLiteral("Exit"));
    Exit->setGeometry(272, 448, 129, 33);

    setTabOrder(Memo1, Exit);
    connect(Exit, &QPushButton::clicked, this, &TfrmDebug::ExitClick);
}

void TfrmDebug::ExitClick()
{
    close();
}
