// SPDX-License-Identifier: MIT
#pragma once

#include <QtTest>
#include <initializer_list>
#include <tuple>

// A data table whose one column holds the whole row, a tuple whose first member names it.
template <class Row> void rows(std::initializer_list<Row> table) {
    QTest::addColumn<Row>("row");
    for (const Row& row : table) {
        QTest::newRow(std::get<0>(row)) << row;
    }
}

template <class Row> Row row() {
    return *static_cast<Row*>(QTest::qData("row", qMetaTypeId<Row>()));
}
