#include "gui/setup/PortList.h"

#include "core/serial/PortNames.h"

#include <QAbstractItemModel>
#include <QStyleOptionComboBox>
#include <QStylePainter>

TPortList::TPortList(QWidget* parent)
    : QComboBox(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, &TPortList::describeCurrentItem);
    connect(model(), &QAbstractItemModel::dataChanged, this, &TPortList::describeCurrentItem);
}

int TPortList::comNumber(int item) const
{
    return ComNumber(itemData(item).toString().toStdString()).value_or(0);
}

void TPortList::chooseComNumber(int number)
{
    const int item = findData(QStringLiteral("COM%1").arg(number));
    setCurrentIndex(item >= 0 ? item : 0);
}

void TPortList::setComNumbers(const std::vector<int>& numbers)
{
    // Items are inserted and removed around the chosen one, never replaced,
    // so the choice never changes on the way.
    int item = 0;
    for (const int number : numbers) {
        while (item < count() && comNumber(item) < number)
            removeItem(item);
        if (item == count() || comNumber(item) != number) {
            const QString name = QStringLiteral("COM%1").arg(number);
            insertItem(item, name, name);
        }
        ++item;
    }
    while (item < count())
        removeItem(item);
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
