#include "setup/PortList.h"

void TPortList::showPopup()
{
    emit aboutToShowPopup();
    QComboBox::showPopup();
}
