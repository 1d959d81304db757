#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Reads an ESC/POS byte stream back as a receipt printer would print it: the
// text lines (decoded from GB18030) with the columns they take, the barcodes,
// and whether the paper was cut and the drawer opened. A byte it does not know
// is noted in `fault`.
struct EscPosReader {
    struct TextLine {
        QString text;
        int columns = 0;   // one per single byte, two per GB18030 character of two or four bytes
        bool bold = false;
        bool large = false;
    };

    explicit EscPosReader(const QByteArray& bytes);

    QList<TextLine> lines;
    QStringList barcodes;        // Code 128 contents
    QList<int> barcodeModuleDots;
    bool reset = false;          // ESC @ first
    bool chineseMode = false;
    bool cut = false;
    bool drawerPulse = false;
    bool pulseAfterCut = false;
    bool largeLeftOn = false;    // a size or bold left on after the last line
    QString fault;

    // The texts, trimmed, for finding a line.
    QStringList texts() const;
    // The first line whose trimmed text starts with the caption; empty when none.
    TextLine line(const QString& caption) const;
    int widest() const;
};
