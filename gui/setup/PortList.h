#pragma once

#include <QComboBox>

#include <vector>

// The "COM Port" drop-down list: a plain list that says when it is about to
// open, so its items can show where each name leads at that moment. Each
// item holds its COM name as its data (Qt::UserRole) and its whole text
// ("COM1  /dev/ttyUSB0 — FT232R USB UART"). Closed, the list shows the COM
// name alone, which fits its narrow box, and gives the whole text as its tool
// tip and accessible description; the open list shows the whole items.
class TPortList : public QComboBox {
    Q_OBJECT

public:
    explicit TPortList(QWidget* parent = nullptr);

    // The COM number of item `item`'s name, 0 for no item.
    int comNumber(int item) const;
    int chosenComNumber() const { return comNumber(currentIndex()); }
    // Chooses the name with COM number `number`, else the first item.
    void chooseComNumber(int number);
    // One item per COM number of `numbers` (ascending; the chosen one among
    // them), text "COMn" for a new one: items of other numbers go, and the
    // chosen item stays chosen.
    void setComNumbers(const std::vector<int>& numbers);

    void showPopup() override;

signals:
    void aboutToShowPopup();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void describeCurrentItem();
};
