#pragma once

#include "shop/StyleGeneration.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTimer;

// "按款式生成": a style's goods, one per ticked colour and size, shown before
// they are made; codes already in the catalogue are listed and skipped.
class StyleGenerationDialog : public QDialog {
    Q_OBJECT
public:
    explicit StyleGenerationDialog(QWidget* parent = nullptr);

    // The first goods the run wrote, for the goods window to show.
    QString firstWritten() const { return m_firstWritten; }

    QLineEdit* styleEdit;
    QLineEdit* stemEdit;
    QComboBox* brandBox;
    QComboBox* kindBox;
    QComboBox* typeBox;
    QComboBox* unitBox;
    QLineEdit* priceInEdit;
    QLineEdit* priceOutEdit;
    QLineEdit* patternEdit;
    QListWidget* colorList;
    QListWidget* sizeList;
    QTableWidget* preview;
    QPushButton* cmd_make;
    QPushButton* cmd_canc;

public slots:
    void showPreview();
    void cmd_makeClick();

private:
    // The dialog's values; false (and the box told) when a price is no price.
    bool readRequest(StyleGeneration::Request& request);
    void fillList(QListWidget* list, const QList<StyleGeneration::CodeItem>& items);
    QList<StyleGeneration::CodeItem> ticked(const QListWidget* list) const;

    QList<StyleGeneration::CodeItem> m_colors;
    QList<StyleGeneration::CodeItem> m_sizes;
    QTimer* m_refresh;
    QString m_firstWritten;
};
