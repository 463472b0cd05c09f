#pragma once

#include "model/TableDefs.h"
#include "model/TableHash.h"
#include "model/TableOrder.h"
#include "model/TableRow.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tavlor {

class TTable;
class TTableData;

// Reads one row without moving any cursor: what lookups by key use, so that
// labels and comparisons never disturb a walk in progress.
class TRowView {
public:
    TRowView() = default;
    TRowView(const TTableData* data, const TRow* row) : Data_(data), Row_(row) {}
    explicit operator bool() const { return Row_ != nullptr; }
    // Data fields only; a missing row reads null.
    TValue Value(std::string_view field) const;
    bool IsNull(std::string_view field) const;
    std::int32_t AsInteger(std::string_view field) const;
    double AsFloat(std::string_view field) const;
    std::string AsString(std::string_view field) const;
    TBookmark Bookmark() const;

private:
    const TTableData* Data_ = nullptr;
    const TRow* Row_ = nullptr;
};

// What a view (a grid's item model) follows of a table. While notifications
// are suspended, changes are only noted and reported once when they resume.
class ITableListener {
public:
    virtual ~ITableListener() = default;
    // Rows were added, changed or removed.
    virtual void TableChanged(const TTableData& table) = 0;
    // Field definitions changed: visibility, labels, or the whole structure.
    virtual void FieldsChanged(const TTableData& table) = 0;
};

// The rows of one table, shared by every cursor (TTable) opened on it: a row
// added, changed or deleted through one cursor is seen by all at once. It
// keeps every order and hash index that a cursor or a search asked for up to
// date on each change, so nothing is ever re-sorted whole after a post.
class TTableData {
public:
    explicit TTableData(std::string name, std::vector<TFieldDef> fields = {}, std::vector<TIndexDef> indexes = {});
    ~TTableData();
    TTableData(const TTableData&) = delete;
    TTableData& operator=(const TTableData&) = delete;

    const std::string& Name() const { return Name_; }

    // Structure. Fields() is the display order; data fields also have a slot
    // in the row (StorageIndex), in the order in which they were defined.
    const std::vector<TFieldDef>& Fields() const { return Fields_; }
    const TFieldDef* FindField(std::string_view name) const;
    int FieldIndex(std::string_view name) const;
    const TFieldDef& FieldByName(std::string_view name) const;
    int StoredFieldCount() const { return static_cast<int>(StoredFields_.size()); }
    const TFieldDef& StoredField(int slot) const { return Fields_[StoredFields_[slot]]; }
    const std::vector<TIndexDef>& Indexes() const { return Indexes_; }
    const TIndexDef* FindIndex(std::string_view name) const;
    void SetFieldVisible(std::string_view name, bool visible);
    void SetFieldGetText(std::string_view name, std::function<std::string(const TValue&)> getText);
    // Puts the fields in the order in which grids and exports show them; the
    // storage order of the data fields stays the order of their definition.
    void SetDisplayOrder(const std::vector<std::string>& names);
    // Replaces the fields and indexes; every row is removed and every cursor
    // goes back to the natural order without filter.
    void SetStructure(std::vector<TFieldDef> fields, std::vector<TIndexDef> indexes = {});

    std::size_t RowCount() const { return Storage_.size(); }
    void Empty();

    // Calculated fields are filled by this handler for the row that a cursor
    // reads; it sets them through the cursor it is given.
    using TCalcHandler = std::function<void(TTable&)>;
    void SetCalcHandler(TCalcHandler handler) { CalcHandler_ = std::move(handler); }
    const TCalcHandler& CalcHandler() const { return CalcHandler_; }
    int CalcFieldCount() const { return CalcFieldCount_; }

    // The first row, in insertion order, whose integer data field at slot
    // holds the value; nullptr when none. What looked-up fields read.
    const TRow* FindFirst(int slot, const TValue& value);
    // The rows whose integer data fields at these slots hold these values,
    // through a hash index on those fields (listed in any order); nullptr when none.
    const std::vector<TRow*>* RowsHolding(const int* slots, const TValue* values, std::size_t count);
    // The first row, in insertion order, whose listed integer data fields (one
    // name, or names joined by ";") hold the values; an empty view when none.
    TRowView Lookup(std::string_view fields, std::initializer_list<std::int32_t> values);
    // Every row, in insertion order, read from storage rather than from the
    // natural order's tree.
    std::vector<TRow*> RowsInInsertionOrder() const;
    // The row added with this bookmark, nullptr when it no longer exists.
    TRow* RowOf(TBookmark bookmark) const;

    void AddListener(ITableListener* listener);
    void RemoveListener(ITableListener* listener);
    void BeginUpdate();
    void EndUpdate();
    bool UpdatesSuspended() const { return UpdateDepth_ > 0; }
    // Changes on every added, changed or removed row.
    std::uint64_t Version() const { return Version_; }

    // Facilities of the cursors.
    TOrder& NaturalOrder() { return *Natural_; }
    // The order on these keys, built if needed, with one more user; a cursor
    // gives it back with ReleaseOrder when it selects another.
    TOrder& AcquireOrder(const TOrderKeys& keys);
    void ReleaseOrder(TOrder& order) { order.RemoveUser(); }
    // The rows of an order, built now if it is stale: an order is only built
    // when a cursor walks it or searches it, not when it is merely selected
    // (a filtered cursor sorts its few rows with the order's comparison alone).
    TOrder::TRowSet& RowsOf(TOrder& order);
    THashIndex& HashIndexFor(std::vector<int> slots);
    THashIndex& HashIndexFor(const int* slots, std::size_t count);
    // Takes the values; the vector is left with storage for the next row.
    TRow* InsertRow(std::vector<TValue>& values);
    // Inserts `count` rows, as InsertRow one after the other would, the i-th
    // holding what fill(i, values) puts in values: StoredFieldCount() values,
    // each of which fill sets (they hold what an earlier row left). An order
    // in use that the rows at least double is sorted once instead of taking
    // them one by one; rows removed before are reused, so that a view refilled
    // whole allocates nothing. The last row added, nullptr for none.
    using TRowFill = std::function<void(std::size_t, std::vector<TValue>&)>;
    TRow* InsertRows(std::size_t count, const TRowFill& fill);
    // Takes the new values; the vector is left holding the old ones.
    void UpdateRow(TRow* row, std::vector<TValue>& values);
    // Changes one value of a row: what UpdateRow does, without copying the row.
    void UpdateValue(TRow* row, int slot, TValue value);
    void DeleteRow(TRow* row);
    void RegisterCursor(TTable* cursor);
    void UnregisterCursor(TTable* cursor);

    // Resolved parts of a looked-up field.
    struct TLookupSlots {
        int KeySlot = -1;
        int LookupKeySlot = -1;
        int ResultSlot = -1;
    };
    const TLookupSlots& LookupSlots(const TFieldDef& field) const { return Lookups_[field.LookupIndex]; }

private:
    template <class F>
    void ForEachOrder(F&& f);
    void ApplyUpdate(TRow* row, const std::vector<char>& changed, const std::function<void()>& write);
    void Notify();
    void NotifyFields();
    void ClearRows();

    std::string Name_;
    std::vector<TFieldDef> Fields_;
    std::vector<int> StoredFields_;  // slot -> position in Fields_
    // Field names are matched without regard to ASCII case, without allocating.
    struct TNameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const;
    };
    struct TNameEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    std::unordered_map<std::string, int, TNameHash, TNameEqual> ByName_;  // name -> position in Fields_
    std::vector<TIndexDef> Indexes_;
    std::vector<TLookupSlots> Lookups_;
    int CalcFieldCount_ = 0;
    TCalcHandler CalcHandler_;

    std::vector<std::unique_ptr<TRow>> Storage_;
    std::vector<std::unique_ptr<TRow>> Spare_;  // rows removed, kept for reuse
    std::unique_ptr<TOrder> Natural_;
    std::vector<std::unique_ptr<TOrder>> Orders_;
    std::vector<std::unique_ptr<THashIndex>> Hashes_;
    std::vector<TTable*> Cursors_;
    std::vector<ITableListener*> Listeners_;
    int UpdateDepth_ = 0;
    bool Dirty_ = false;
    bool FieldsDirty_ = false;
    std::uint64_t NextSeq_ = 1;
    std::uint64_t Version_ = 0;
};

}  // namespace tavlor
