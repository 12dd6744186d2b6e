#include "core/vehicle/record.h"

bool VehicleRecord::sameStoredContent(const VehicleRecord &o) const
{
    for (int i = 1; i < int(edit.size()); ++i)
        if (!isComputedEdit(i) && edit[i] != o.edit[i])
            return false;
    return DateTimePicker1 == o.DateTimePicker1 && DateTimePicker2 == o.DateTimePicker2
        && DateTimePicker3 == o.DateTimePicker3 && ComboBox1 == o.ComboBox1 && Memo1 == o.Memo1
        && Image1 == o.Image1 && ListView1 == o.ListView1 && ListView2 == o.ListView2
        && ListView3 == o.ListView3;
}
