#pragma once
// The customer's quote selections between the settings and the shared
// quote lists: the custom quote list built from CurrCustom when an account
// is applied, and the layouts collected back into the settings at exit.

#include "IntList.h"

class TMarketList;
class TCurrencyList;

namespace QuoteLayouts {

// Clears `list` and adds one record per CurrCustom entry "A/B" (codes
// trimmed, split at the first "/"), its currencies found by code and
// Visible when the entry's number is 1. Entries without "/" are skipped.
void RebuildFromCustom(TMarketList &list, const IntList &currCustom, TCurrencyList &currencies);
// "A/B" per record in order, 1 for visible and 0 for hidden.
IntList CollectCustom(const TMarketList &list);
// The index codes in order with their Visible as 1/0.
IntList CollectIndexShow(const TMarketList &indices);

// Marks the first record with the pair (either order) visible; false when
// the list has no such record. Codes compared as numbers.
bool MarkPairVisible(TMarketList &list, int codeA, int codeB);

} // namespace QuoteLayouts
