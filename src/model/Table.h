#pragma once

#include "model/TableData.h"
#include "model/TableFilter.h"

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavlor {

enum class TTableState : std::uint8_t { Browse, Edit, Insert };

// A cursor over a table's shared rows, with its own current row, order and
// filter. Rows are read and changed through the current row: Append or Edit,
// set fields, Post. Reading a null value gives 0 or "".
//
// Navigation follows the usual dataset rules: First makes the first row
// current; Next on the last row sets Eof and leaves it current; Last makes the
// last row current and sets Eof; on an empty table (or one whose filter lets
// nothing pass) there is no current row and both Eof and Bof are set.
class TTable {
public:
    explicit TTable(std::shared_ptr<TTableData> data);
    // A new table with its own rows.
    TTable(std::string name, std::vector<TFieldDef> fields, std::vector<TIndexDef> indexes = {});
    ~TTable();
    TTable(const TTable&) = delete;
    TTable& operator=(const TTable&) = delete;

    // A second cursor over the same rows, in the same order, without filter,
    // on the first row.
    std::unique_ptr<TTable> Clone() const;

    TTableData& Data() const { return *Data_; }
    const std::shared_ptr<TTableData>& SharedData() const { return Data_; }
    const std::string& Name() const { return Data_->Name(); }

    // Fields, in display order. FindField answers nullptr for a name the table
    // lacks; FieldByName and every access by name throw "<table>: Champ '<name>'
    // non trouvé" instead.
    const std::vector<TFieldDef>& Fields() const { return Data_->Fields(); }
    const TFieldDef* FindField(std::string_view name) const { return Data_->FindField(name); }
    const TFieldDef& FieldByName(std::string_view name) const { return Data_->FieldByName(name); }
    int FieldIndex(std::string_view name) const { return Data_->FieldIndex(name); }
    int RequireField(std::string_view name) const;

    // The current row, or the row being edited or appended.
    TValue Value(int field) const;
    bool IsNull(int field) const { return tavlor::IsNull(Value(field)); }
    std::int32_t AsInteger(int field) const;
    double AsFloat(int field) const;
    double AsDateTime(int field) const { return AsFloat(field); }
    std::string AsString(int field) const;
    TValue Value(std::string_view name) const { return Value(RequireField(name)); }
    bool IsNull(std::string_view name) const { return IsNull(RequireField(name)); }
    std::int32_t AsInteger(std::string_view name) const { return AsInteger(RequireField(name)); }
    double AsFloat(std::string_view name) const { return AsFloat(RequireField(name)); }
    double AsDateTime(std::string_view name) const { return AsFloat(RequireField(name)); }
    std::string AsString(std::string_view name) const { return AsString(RequireField(name)); }
    // The text grids and exports show, French decimal comma unless told otherwise.
    std::string DisplayText(int field, char decimalMark = ',') const;
    std::string DisplayText(std::string_view name, char decimalMark = ',') const {
        return DisplayText(RequireField(name), decimalMark);
    }

    // Writing needs Append or Edit (or, for calculated fields, the calc
    // handler running). A string is kept to Windows-1252 characters and cut to
    // the field's width in characters.
    void SetValue(int field, TValue value);
    void SetInteger(int field, std::int32_t v) { SetValue(field, TValue(v)); }
    void SetFloat(int field, double v) { SetValue(field, TValue(v)); }
    void SetDateTime(int field, double v) { SetValue(field, TValue(v)); }
    void SetString(int field, std::string v) { SetValue(field, TValue(std::move(v))); }
    void SetNull(int field) { SetValue(field, TValue()); }
    void SetValue(std::string_view name, TValue v) { SetValue(RequireField(name), std::move(v)); }
    void SetInteger(std::string_view name, std::int32_t v) { SetValue(RequireField(name), TValue(v)); }
    void SetFloat(std::string_view name, double v) { SetValue(RequireField(name), TValue(v)); }
    void SetDateTime(std::string_view name, double v) { SetValue(RequireField(name), TValue(v)); }
    void SetString(std::string_view name, std::string v) { SetValue(RequireField(name), TValue(std::move(v))); }
    void SetNull(std::string_view name) { SetValue(RequireField(name), TValue()); }

    // Navigation, in the current order, over the rows that pass the filter.
    void First();
    void Next();
    void Prior();
    void Last();
    bool Eof() const { return Eof_; }
    bool Bof() const { return Bof_; }
    bool HasCurrent() const { return Current_ != nullptr; }
    int RecordCount() const;
    bool IsEmpty() const { return RecordCount() == 0; }
    TBookmark Bookmark() const { return Current_ ? Current_->Seq : 0; }
    // Makes the bookmarked row current; false when it no longer exists.
    bool GotoBookmark(TBookmark bookmark);
    // The rows that navigation visits, in order (what a grid shows).
    std::vector<TBookmark> VisibleRows() const;
    // The stored values of those rows, in that order, without moving the
    // cursor (a row being edited reads as stored): what one pass over a whole
    // table reads, far faster than stepping through it.
    std::vector<const std::vector<TValue>*> VisibleRowValues() const;

    // Changes. A posted row takes its place in every order at once and stays
    // current, whether or not it passes the filter. Deleting makes the next
    // row current (or, after the last one, the new last row, with Eof set).
    TTableState State() const { return State_; }
    void Append();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    // The stored values of the current row (or of the row being edited), in
    // storage order; empty without a current row.
    const std::vector<TValue>& RowValues() const;
    // Appends a row holding these stored values (each kept to its field's type
    // and width) and makes it current: Append, every field set, Post.
    void AppendRow(const std::vector<TValue>& values);
    // The same, taking the values over instead of copying them.
    void AppendRow(std::vector<TValue>&& values);
    // AppendRow for each of these rows, in order, in one step: what views
    // refilled whole use. The last row is current. Either takes the values,
    // or has fill(i, values) set each of the stored values of the i-th row
    // (what they hold when given is left over); nothing is added when fill fails.
    void AppendRows(std::vector<std::vector<TValue>>& rows);
    void AppendRows(std::size_t count, const TTableData::TRowFill& fill);
    // Edit, set one field, Post, without copying the row: for loops that
    // number rows. The row keeps being current.
    void SetFieldPosted(int field, TValue value);
    // Removes every row of the table (all cursors see it); fields and indexes stay.
    void EmptyTable() { Data_->Empty(); }

    // Orders: a named index (each field with its own direction) or a list of
    // field names joined by ";", all ascending. Empty: insertion order. The
    // current row stays current.
    void SetIndexName(std::string_view name);
    const std::string& IndexName() const { return IndexName_; }
    void SetIndexFieldNames(std::string_view fields);
    const std::string& IndexFieldNames() const { return IndexFieldNames_; }
    // The keys of a named index or of a field list, as the orders compare
    // rows (TRowLess): for sorting rows kept outside the table the same way.
    TOrderKeys IndexKeys(std::string_view name) const;
    TOrderKeys FieldListKeys(std::string_view fields) const;

    // Makes current the first row, in the current order and among the rows
    // that pass the filter, whose listed fields (one name, or names joined by
    // ";") equal the values. Not found: the current row does not change.
    bool Locate(std::string_view fields, std::initializer_list<std::int32_t> values);
    bool Locate(std::string_view fields, const std::vector<TValue>& values);
    // With the current index: the first row whose leading key fields equal the
    // values (as many fields as values).
    bool FindKey(const std::vector<TValue>& values);

    // Filter: the expression is parsed when set. When what passes changes, the
    // current row stays current if it passes, else the first passing row
    // becomes current (so lifting a filter never moves the cursor).
    void SetFilter(std::string_view text);
    const std::string& Filter() const { return FilterText_; }
    void SetFiltered(bool on);
    bool Filtered() const { return Filtered_; }

    // Suspends the notification of views while the table is refilled (counted).
    void DisableControls() { Data_->BeginUpdate(); }
    void EnableControls() { Data_->EndUpdate(); }

    // Called by the shared rows on every change.
    void OnRowInserted(TRow* row);
    void OnRowUpdating(TRow* row, const std::vector<char>& changed);
    void OnRowUpdated(TRow* row);
    void OnRowDeleting(TRow* row);
    void OnEmptied();
    void OnStructureChanged();

private:
    static constexpr std::size_t NoPos = std::numeric_limits<std::size_t>::max();

    bool Filtering() const { return Filtered_ && !Filter_.Empty(); }
    bool Passes(const TRow& row) const { return !Filtering() || Filter_.Accepts(row); }
    void SelectOrder(const TOrderKeys& keys);
    void EnsureVisible() const;
    TRow* Successor(TRow* row) const;
    TRow* Predecessor(TRow* row) const;
    TRow* FirstMatching(const TKeyProbe& probe) const;
    void MakeCurrent(TRow* row);
    void FilterChanged();
    void RemoveFromVisible(TRow* row) const;
    void InsertIntoVisible(TRow* row) const;
    TValue Coerce(const TFieldDef& field, TValue value) const;
    // Every value of the edit buffer kept to its field's type and width.
    void CoerceBuffer();
    const TValue& DataValue(int slot) const;
    void EnsureCalc() const;
    std::vector<int> ParseFieldList(std::string_view fields) const;

    std::shared_ptr<TTableData> Data_;
    TOrder* Order_ = nullptr;
    std::string IndexName_;
    std::string IndexFieldNames_;
    TFilterExpr Filter_;
    std::string FilterText_;
    bool Filtered_ = false;

    TRow* Current_ = nullptr;
    bool Eof_ = true;
    bool Bof_ = true;

    TTableState State_ = TTableState::Browse;
    TRow* EditRow_ = nullptr;
    std::vector<TValue> Buffer_;

    // Rows passing the filter, in order; kept up to date on every change once built.
    mutable std::vector<TRow*> Visible_;
    mutable bool VisibleValid_ = false;
    mutable std::size_t Pos_ = NoPos;  // index of Current_ in Visible_, when known
    TRow* Reinsert_ = nullptr;         // row taken out of Visible_ during an update
    // Position of Current_ in the order, valid while the order's version holds.
    mutable TOrder::TRowSet::iterator It_;
    mutable std::uint64_t ItVersion_ = std::numeric_limits<std::uint64_t>::max();
    mutable const TRow* ItRow_ = nullptr;

    // Calculated values of the row they were computed for.
    mutable std::vector<TValue> Calc_;
    mutable const TRow* CalcRow_ = nullptr;
    mutable std::uint64_t CalcVersion_ = 0;
    mutable bool Calculating_ = false;
};

// Restores a cursor's filter text and switch when it goes out of scope, also
// when the work in between fails.
class TFilterScope {
public:
    TFilterScope(TTable& table, std::string_view filter);
    ~TFilterScope();
    TFilterScope(const TFilterScope&) = delete;
    TFilterScope& operator=(const TFilterScope&) = delete;

private:
    TTable& Table_;
    std::string SavedText_;
    bool SavedOn_;
};

// Suspends view notifications of a table for a scope.
class TControlsDisabled {
public:
    explicit TControlsDisabled(TTable& table) : Table_(table) { Table_.DisableControls(); }
    ~TControlsDisabled() { Table_.EnableControls(); }
    TControlsDisabled(const TControlsDisabled&) = delete;
    TControlsDisabled& operator=(const TControlsDisabled&) = delete;

private:
    TTable& Table_;
};

}  // namespace tavlor
