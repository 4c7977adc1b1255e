#include "setup/PortList.h"

#include <QAbstractItemModel>
#include <QStyleOptionComboBox>
#include <QStylePainter>

TPortList::TPortList(QWidget* parent)
    : QComboBox(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, &TPortList::describeCurrentItem);
    connect(model(), &QAbstractItemModel::dataChanged, this, &TPortList::describeCurrentItem);
}

void TPortList::showPopup()
{
    emit aboutToShowPopup();
    QComboBox::showPopup();
}

void TPortList::paintEvent(QPaintEvent*)
{
    // As QComboBox paints itself, with the item's COM name as its text.
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    if (const QVariant name = currentData(); name.isValid())
        option.currentText = name.toString();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void TPortList::describeCurrentItem()
{
    setToolTip(currentText());
    setAccessibleDescription(currentText());
}
