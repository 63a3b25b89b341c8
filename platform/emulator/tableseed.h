#pragma once

#include "registertable.h"

#include <map>

// The register's tables as a new register holds them: the tables behind the
// eleven programmable tables, with demo contents. Text is seeded in the layout
// its writing scheme stores.
namespace TableSeed {

enum TableNumber
{
    Goods = 1,
    Settings = 2,
    Users = 3,
    Discounts = 4,
    ReceiptText = 6,
    Sections = 7,
    PaymentTypes = 12,
    TaxRates = 13,
    AlcoholRequisites = 15,
    Wireless = 17,
    DataOperator = 19,
};

using Tables = std::map<int, RegisterTable>;

// goodsCount records of goods, generated deterministically.
Tables build(int goodsCount);

} // namespace TableSeed
