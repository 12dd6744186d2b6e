#include "vehicle/TDatePicker.h"

TDatePicker::TDatePicker(QWidget *parent) : QDateEdit(parent)
{
    setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    setCalendarPopup(true);
}

bool TDatePicker::focusNextPrevChild(bool next)
{
    return QWidget::focusNextPrevChild(next);
}
