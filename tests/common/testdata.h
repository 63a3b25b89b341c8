#pragma once

#include <QtTest>

#include <tuple>

// The columns of a data-driven test, one name per type:
//     columns<int, QString>("code", "text");
template <typename... Types, typename... Names> void columns(const Names &...names)
{
    (QTest::addColumn<Types>(names), ...);
}

// The current row's values of the named columns, which must have these types:
//     const auto [code, text] = fetch<int, QString>("code", "text");
template <typename... Types, typename... Names> std::tuple<Types...> fetch(const Names &...names)
{
    return {*static_cast<Types *>(QTest::qData(names, qMetaTypeId<Types>()))...};
}
