#pragma once

#include <string>

// The sort header buttons of the access-point tables: the active column shows its direction,
// and pressing a column either reverses it or makes it the active one.
class TableSortHeader {
  public:
    struct Order {
        int criterion = 0;
        bool descending = false;
    };

    // The same column reverses; another becomes active, RSSI (3) strongest first, others
    // ascending.
    static Order pressed(Order current, int criterion);

    // "RSSI-" (descending) or "RSSI+" for the active column, the bare name for the others.
    static std::string title(const std::string& name, int criterion, Order current);
};
