#pragma once

#include <QString>
#include <QVariant>

namespace db {

class Dataset;

enum class FieldType { String, Integer, Double, DateTime };
enum class FieldKind { Data, Lookup, Calculated };

// One field of a dataset: a column of its statement, a look-up through
// another dataset, or a value computed by the owning window's hook.
struct Field {
    QString name;
    FieldType type = FieldType::String;
    FieldKind kind = FieldKind::Data;
    int size = 0;               // text width in characters; 0 when unlimited
    QString displayFormat;      // e.g. "#0.##"
    bool readOnly = false;

    // Look-up fields: the value of `resultColumn` in the row of `source`
    // whose `sourceKey` equals this dataset's `keyField`.
    QString keyField;
    Dataset* source = nullptr;
    QString sourceKey;
    QString resultColumn;
    int keyIndex = -1;          // index of keyField in the owning dataset, kept by the dataset
    // Positions in the source, remembered while the source's fields stay the same.
    mutable int resultIndex = -1;
    mutable quint64 sourceFieldsVersion = 0;
};

// Formats a number with a Delphi-style format: "0" digits always shown, "#" only
// when needed, "," for thousands separators; "#0.##" gives at most two decimals.
QString formatNumber(double value, const QString& format);

// Converts a value to the field's type; empty text becomes NULL for non-text fields.
QVariant convertToFieldType(const QVariant& value, FieldType type);

// The text a user sees for a value of a field.
QString displayText(const QVariant& value, const Field& field);

} // namespace db
