#include "views/ssid/TableSortHeader.h"

TableSortHeader::Order TableSortHeader::pressed(Order current, int criterion) {
    if (criterion == current.criterion) {
        return Order{criterion, !current.descending};
    }
    return Order{criterion, criterion == 3};
}

std::string TableSortHeader::title(const std::string& name, int criterion, Order current) {
    if (criterion != current.criterion) {
        return name;
    }
    return name + (current.descending ? "-" : "+");
}
