#pragma once

// Types into a grid cell as a user does: open the cell, replace its text, press Enter.
#include "ui/DatasetModel.h"
#include "ui/DbGrid.h"

#include <QLineEdit>
#include <QtTest>

namespace GridTyping {

inline void typeInCell(ui::DbGrid& grid, int row, const QString& field, const QString& text)
{
    const int column = grid.datasetModel()->columnOfField(field);
    QVERIFY2(column >= 0, qPrintable(field));
    const QModelIndex index = grid.model()->index(row, column);
    grid.setCurrentIndex(index);
    grid.edit(index);
    QLineEdit* editor = nullptr;
    for (QLineEdit* e : grid.viewport()->findChildren<QLineEdit*>())
        if (e->isVisible())
            editor = e;
    QVERIFY2(editor, "no editor opened");
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits on a queued call.
    QTRY_COMPARE(grid.model()->index(row, column).data().toString(), text);
}

} // namespace GridTyping
