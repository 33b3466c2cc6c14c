#pragma once

#include <initializer_list>

class QHeaderView;

// Column widths of a list kept in the preference store, one integer key per column in order.
void LoadColumnWidths(QHeaderView& header, std::initializer_list<const char*> keys);
void StoreColumnWidths(const QHeaderView& header, std::initializer_list<const char*> keys);
