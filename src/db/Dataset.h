#pragma once

#include "db/DatasetColumn.h"
#include "db/Field.h"
#include "db/KeyIndex.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <functional>
#include <vector>

namespace db {

class Connection;

// A named query with its rows held in memory (a client-side cursor), a current
// row, edit states and hooks, writing back to the statement's base table either
// at each post (optimistic) or all at once (batch).
class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Insert, Edit };
    enum class Locking { Optimistic, Batch };
    enum class Hook { BeforePost, AfterPost, AfterScroll, AfterDelete, NewRecord, Calculate };
    using HookFunction = std::function<void(Dataset&)>;

    Dataset(Connection& connection, const QString& name, QObject* parent = nullptr);
    ~Dataset() override;

    QString name() const { return objectName(); }
    Connection& connection() const { return *m_connection; }

    // --- statement
    void setSql(const QString& sql);   // closes the dataset and clears the parameters
    QString sql() const { return m_sql; }
    void setParameter(const QString& name, const QVariant& value);
    QVariant parameter(const QString& name) const { return m_parameters.value(name); }
    void setLocking(Locking locking) { m_locking = locking; }
    Locking locking() const { return m_locking; }

    // --- fields. Declared data fields are the only ones created, in their order;
    // with none declared every column of the statement becomes a field.
    Field& addField(const QString& name);                  // type and width from the schema
    Field& addField(const QString& name, FieldType type);  // a computed column such as sum(...)
    Field& addLookupField(const QString& name, const QString& keyField, Dataset* source,
                          const QString& sourceKey, const QString& resultColumn,
                          FieldType type = FieldType::String);
    Field& addCalculatedField(const QString& name, FieldType type = FieldType::Double);
    void setDisplayFormat(const QString& field, const QString& format);
    int fieldCount() const { return m_fields.size(); }
    const Field& field(int index) const { return m_fields.at(index); }
    const Field& field(const QString& name) const;
    int fieldIndex(const QString& name) const;   // -1 when absent
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }
    QStringList fieldNames() const;

    // --- opening
    void open();
    void close();
    void requery();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Insert || m_state == State::Edit; }
    bool isWritable() const { return m_identity != Identity::ReadOnly; }

    // --- navigation
    int recordCount() const { return int(m_order.size()); }
    bool isEmpty() const { return m_order.empty(); }
    int currentRow() const { return m_current; }
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    void first();
    void next();
    void prior();
    void last();
    void moveTo(int row);
    // Moves to the first row whose field holds the whole value (text ignores case).
    bool locate(const QString& field, const QVariant& value);
    // The first row holding the value, or -1; does not move.
    int find(const QString& field, const QVariant& value) const;
    // The row holding exactly `prefix`, else the first row whose field's text
    // starts with it, ignoring case; -1 when none does. Does not move.
    int findStarting(const QString& field, const QString& prefix) const;

    // --- values of the current row (or of the row being calculated)
    QVariant value(const QString& field) const;
    QString text(const QString& field) const;
    double number(const QString& field) const;   // NULL reads as 0
    bool isNull(const QString& field) const;
    QString displayText(const QString& field) const;
    void setValue(const QString& field, const QVariant& value);
    // Inside a Calculate hook: sets a calculated field of the row being calculated.
    void setCalculated(const QString& field, const QVariant& value);

    // --- any row, for grids and reports
    QVariant value(int row, int fieldIndex) const;
    QString displayText(int row, int fieldIndex) const;

    // --- editing
    void append();
    void edit();
    void post();
    void cancel();
    void remove();
    void updateBatch();
    void cancelBatch();
    bool hasPendingChanges() const;
    // Whether the row is new or holds values other than those read (edits undone count as none).
    bool isRowChanged(int row) const;

    // While disabled, views are not told about moves and changes; enabling resets them.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disableCount > 0; }

    // A detail's parameter follows the master's current row.
    void setMaster(Dataset* master, const QString& masterField, const QString& parameter);

    // Hooks belong to an owner (a window) and vanish when the owner is destroyed.
    void addHook(Hook hook, QObject* owner, HookFunction function);
    void removeHooks(QObject* owner);
    int hookCount() const { return m_hooks.size(); }

signals:
    void aboutToReset();
    void reset();
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void currentRowChanged(int row);
    void stateChanged();
    // Always emitted after a move, an open or a close, even while controls are disabled.
    void scrolled();

private:
    enum class Identity { ReadOnly, RowId, Values };
    enum class Status { Unchanged, Inserted, Modified };
    // A record with a change not yet written (batch), or appended and not yet posted.
    struct Pending {
        Status status = Status::Unchanged;
        QList<QVariant> original;   // values as read, for a modified record
    };
    struct DeletedRecord {
        int record;
        QList<QVariant> original;   // values as read when it was changed before; else empty
    };
    struct HookEntry {
        Hook hook;
        QPointer<QObject> owner;
        HookFunction function;
    };
    // A hash index over one field: the first row holding each value.
    struct Index {
        KeyIndex rows;
        quint64 generation = 0;     // new with every build, so users see a rebuild
    };
    // Look-up fields sharing a key field and a source find the source row once:
    // the row found for each key text (or, for other keys, each record) is kept
    // until the source's index is rebuilt.
    struct LookupGroup {
        int keyIndex = -1;
        Dataset* source = nullptr;
        QString sourceKey;
        mutable int sourceKeyIndex = -1;
        mutable quint64 sourceFieldsVersion = 0;
        mutable quint64 generation = 0;        // of the source's key index the rows were found in; 0 before
        mutable quint64 sourceIndexDrops = 0;  // the source's index drops when that was last checked
        mutable std::vector<int> sourceRows;   // by key text id or by record; unresolved or -1 when none
    };

    void setFields(const QList<Field>& fields);
    void prepareFields(class Statement& statement);
    void readRows(class Statement& statement);
    QString effectiveSql();
    void followMaster();
    void runHooks(Hook hook);
    void ensureActive() const;
    void checkBrowseMode();
    void setState(State state);
    void setCurrent(int row);
    void invalidateIndexes();
    void fieldChanged(int fieldIndex, int record);
    void forgetLookups(int record, int keyIndex = -1);
    const Index& indexOf(int fieldIndex) const;
    QString indexKeyOf(int row, int fieldIndex) const;
    int lookupRow(int row, const LookupGroup& group) const;
    QVariant lookupValue(int row, int fieldIndex) const;
    QVariant calculatedValue(int row, int fieldIndex) const;
    int activeRow() const;

    // Records are the stored rows; a row is a record's place in the visible order.
    int recordOf(int row) const { return m_order[size_t(row)]; }
    int rowOf(int record) const;
    int addRecord();
    void dropRecord(int record);
    QList<QVariant> recordValues(int record) const;
    void setRecordValues(int record, const QList<QVariant>& values);
    QVariant slotValue(int record, int slot) const { return m_columns[size_t(slot)].value(record); }
    Status statusOf(int record) const { return m_pending.value(record).status; }

    qint64 writeInsert(int record);
    void takeNewRowId(int record, qint64 rowId);
    void writeUpdate(int record, const QList<QVariant>& original);
    void writeDelete(int record, const QList<QVariant>& original);
    QList<int> writableSlots(bool includeCounter) const;
    QString identityCondition(int record, const QList<QVariant>& original, QVariantList* values) const;

    Connection* m_connection;
    QString m_sql;
    QVariantHash m_parameters;
    Locking m_locking = Locking::Optimistic;

    QList<Field> m_declared;             // fields as declared by the data module
    QList<Field> m_fields;               // fields while open: declared, or every column + declared
    QHash<QString, int> m_fieldByName;        // by lower-case name
    QHash<QString, int> m_fieldByExactName;
    quint64 m_fieldsVersion = 0;              // changes whenever the fields are rebuilt
    QList<int> m_slotOfField;            // field -> stored column, or -1
    QList<int> m_columnOfSlot;           // statement column read into each stored column
    QList<QString> m_baseColumnOfSlot;   // base-table column written from each slot ("" if none)
    QList<int> m_groupOfField;           // look-up field -> its look-up group, or -1
    QList<LookupGroup> m_lookupGroups;
    bool m_declaredData = false;         // persistent data fields were declared
    bool m_rowIdColumn = false;          // the statement's first column is the injected rowid

    QString m_baseTable;
    Identity m_identity = Identity::ReadOnly;

    std::vector<DatasetColumn> m_columns;   // one per stored data field, indexed by record
    std::vector<qint64> m_rowIds;           // by record, when rows are identified by rowid
    std::vector<int> m_order;               // row -> record, ascending
    QHash<int, Pending> m_pending;          // by record
    QList<DeletedRecord> m_deleted;
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;
    State m_state = State::Inactive;
    QList<QVariant> m_editBackup;           // the edited record's values when the edit began
    int m_disableCount = 0;

    mutable QHash<int, Index> m_indexes;
    quint64 m_indexDrops = 0;               // counts every dropping of indexes
    mutable int m_calculatingRow = -1;
    mutable QList<QVariant>* m_calculated = nullptr;

    QList<HookEntry> m_hooks;

    QPointer<Dataset> m_master;
    QString m_masterField;
    QString m_masterParameter;
    QList<QMetaObject::Connection> m_masterConnections;
};

} // namespace db
