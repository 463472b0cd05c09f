#include "model/Table.h"

#include "model/TableMessages.h"
#include "text/Cp1252.h"
#include "text/Error.h"

#include <algorithm>

namespace tavlor {

namespace {

const TValue NullValue{};

std::vector<std::string_view> SplitNames(std::string_view list) {
    std::vector<std::string_view> names;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(';', start);
        if (end == std::string_view::npos) {
            end = list.size();
        }
        std::string_view name = list.substr(start, end - start);
        while (!name.empty() && name.front() == ' ') {
            name.remove_prefix(1);
        }
        while (!name.empty() && name.back() == ' ') {
            name.remove_suffix(1);
        }
        if (!name.empty()) {
            names.push_back(name);
        }
        start = end + 1;
    }
    return names;
}

}  // namespace

TTable::TTable(std::shared_ptr<TTableData> data) : Data_(std::move(data)) {
    Order_ = &Data_->AcquireOrder({});
    Data_->RegisterCursor(this);
    First();
}

TTable::TTable(std::string name, std::vector<TFieldDef> fields, std::vector<TIndexDef> indexes)
    : TTable(std::make_shared<TTableData>(std::move(name), std::move(fields), std::move(indexes))) {}

TTable::~TTable() {
    Data_->ReleaseOrder(*Order_);
    Data_->UnregisterCursor(this);
}

std::unique_ptr<TTable> TTable::Clone() const {
    auto clone = std::make_unique<TTable>(Data_);
    if (!IndexName_.empty()) {
        clone->SetIndexName(IndexName_);
    } else if (!IndexFieldNames_.empty()) {
        clone->SetIndexFieldNames(IndexFieldNames_);
    }
    clone->First();
    return clone;
}

int TTable::RequireField(std::string_view name) const {
    const int i = Data_->FieldIndex(name);
    if (i < 0) {
        throw Error(msg::table::FieldNotFound(Name(), name));
    }
    return i;
}

// ---------------------------------------------------------------- values

const TValue& TTable::DataValue(int slot) const {
    if (State_ != TTableState::Browse) {
        return Buffer_[slot];
    }
    return Current_ ? Current_->Values[slot] : NullValue;
}

TValue TTable::Value(int field) const {
    const TFieldDef& f = Fields()[field];
    switch (f.Kind) {
        case TFieldKind::Data:
            return DataValue(f.StorageIndex);
        case TFieldKind::Lookup: {
            const auto& slots = Data_->LookupSlots(f);
            const TValue& key = DataValue(slots.KeySlot);
            if (tavlor::IsNull(key)) {
                return {};
            }
            const TRow* row = f.Lookup.LookupTable->FindFirst(slots.LookupKeySlot, key);
            return row ? row->Values[slots.ResultSlot] : TValue();
        }
        case TFieldKind::Calculated:
            EnsureCalc();
            return Calc_[f.CalcIndex];
    }
    return {};
}

std::int32_t TTable::AsInteger(int field) const {
    return ValueAsInteger(Value(field));
}

double TTable::AsFloat(int field) const {
    return ValueAsFloat(Value(field));
}

std::string TTable::AsString(int field) const {
    return ValueAsString(Value(field), Fields()[field].Type);
}

std::string TTable::DisplayText(int field, char decimalMark) const {
    return tavlor::DisplayText(Fields()[field], Value(field), decimalMark);
}

void TTable::EnsureCalc() const {
    if (Calculating_) {
        return;  // the handler reads what it has set so far
    }
    const bool editing = State_ != TTableState::Browse;
    const TRow* row = editing ? nullptr : Current_;
    if (!editing && row == CalcRow_ && CalcVersion_ == Data_->Version() && !Calc_.empty()) {
        return;
    }
    Calc_.assign(Data_->CalcFieldCount(), TValue());
    CalcRow_ = row;
    CalcVersion_ = Data_->Version();
    if ((row == nullptr && !editing) || !Data_->CalcHandler()) {
        return;
    }
    Calculating_ = true;
    try {
        // The handler only reads the row and sets calculated values.
        Data_->CalcHandler()(const_cast<TTable&>(*this));
    } catch (...) {
        Calculating_ = false;
        CalcRow_ = nullptr;
        throw;
    }
    Calculating_ = false;
}

TValue TTable::Coerce(const TFieldDef& field, TValue value) const {
    if (tavlor::IsNull(value)) {
        return value;
    }
    switch (field.Type) {
        case TFieldType::Integer:
            return TValue(ValueAsInteger(value));
        case TFieldType::Float:
        case TFieldType::DateTime:
            return TValue(ValueAsFloat(value));
        case TFieldType::String: {
            std::string s = text::ToCp1252Range(ValueAsString(value, field.Type));
            if (field.Size > 0) {
                s = text::Left(s, static_cast<std::size_t>(field.Size));
            }
            return TValue(std::move(s));
        }
    }
    return value;
}

void TTable::SetValue(int field, TValue value) {
    const TFieldDef& f = Fields()[field];
    if (f.Kind == TFieldKind::Calculated && Calculating_) {
        Calc_[f.CalcIndex] = Coerce(f, std::move(value));
        return;
    }
    if (f.Kind != TFieldKind::Data) {
        throw Error(msg::table::NotADataField(Name(), f.Name));
    }
    if (State_ == TTableState::Browse) {
        throw Error(msg::table::NotEditing(Name()));
    }
    Buffer_[f.StorageIndex] = Coerce(f, std::move(value));
}

// ---------------------------------------------------------------- navigation

void TTable::EnsureVisible() const {
    if (VisibleValid_) {
        return;
    }
    Visible_.clear();
    Pos_ = NoPos;
    std::vector<TRow*> candidates;
    if (Filter_.Candidates(*Data_, candidates)) {
        if (Filter_.CandidatesAllPass()) {
            Visible_.swap(candidates);
        } else {
            for (TRow* row : candidates) {
                if (Filter_.Accepts(*row)) {
                    Visible_.push_back(row);
                }
            }
        }
        // Candidates mostly come in insertion order already.
        if (!std::is_sorted(Visible_.begin(), Visible_.end(), Order_->Less())) {
            std::sort(Visible_.begin(), Visible_.end(), Order_->Less());
        }
        Visible_.erase(std::unique(Visible_.begin(), Visible_.end()), Visible_.end());
    } else if (Order_->Keys().empty()) {
        for (TRow* row : Data_->RowsInInsertionOrder()) {
            if (Filter_.Accepts(*row)) {
                Visible_.push_back(row);
            }
        }
    } else {
        for (TRow* row : Data_->RowsOf(*Order_)) {
            if (Filter_.Accepts(*row)) {
                Visible_.push_back(row);
            }
        }
    }
    VisibleValid_ = true;
}

TRow* TTable::Successor(TRow* row) const {
    if (Filtering()) {
        EnsureVisible();
        std::size_t p;
        if (Pos_ < Visible_.size() && Visible_[Pos_] == row) {
            p = Pos_ + 1;
        } else {
            p = std::upper_bound(Visible_.begin(), Visible_.end(), row, Order_->Less()) - Visible_.begin();
        }
        return p < Visible_.size() ? Visible_[p] : nullptr;
    }
    auto& rows = Data_->RowsOf(*Order_);
    auto it = (ItVersion_ == Order_->Version() && ItRow_ == row) ? It_ : rows.find(row);
    if (it == rows.end()) {
        it = rows.upper_bound(row);
    } else {
        ++it;
    }
    return it == rows.end() ? nullptr : *it;
}

TRow* TTable::Predecessor(TRow* row) const {
    if (Filtering()) {
        EnsureVisible();
        std::size_t p;
        if (Pos_ < Visible_.size() && Visible_[Pos_] == row) {
            p = Pos_;
        } else {
            p = std::lower_bound(Visible_.begin(), Visible_.end(), row, Order_->Less()) - Visible_.begin();
        }
        return p > 0 ? Visible_[p - 1] : nullptr;
    }
    auto& rows = Data_->RowsOf(*Order_);
    auto it = (ItVersion_ == Order_->Version() && ItRow_ == row) ? It_ : rows.lower_bound(row);
    return it == rows.begin() ? nullptr : *std::prev(it);
}

void TTable::MakeCurrent(TRow* row) {
    // The row's place in the order is found when navigation needs it, so that
    // posting and locating cost no search.
    Current_ = row;
    Pos_ = NoPos;
    ItRow_ = nullptr;
}

void TTable::First() {
    TRow* first = nullptr;
    if (Filtering()) {
        EnsureVisible();
        if (!Visible_.empty()) {
            first = Visible_.front();
            Current_ = first;
            Pos_ = 0;
            ItRow_ = nullptr;
        }
    } else if (!Data_->RowsOf(*Order_).empty()) {
        first = *Data_->RowsOf(*Order_).begin();
        MakeCurrent(first);
    }
    if (first == nullptr) {
        MakeCurrent(nullptr);
    }
    Bof_ = true;
    Eof_ = first == nullptr;
}

void TTable::Last() {
    TRow* last = nullptr;
    if (Filtering()) {
        EnsureVisible();
        if (!Visible_.empty()) {
            last = Visible_.back();
            Current_ = last;
            Pos_ = Visible_.size() - 1;
            ItRow_ = nullptr;
        }
    } else if (!Data_->RowsOf(*Order_).empty()) {
        last = *Data_->RowsOf(*Order_).rbegin();
        MakeCurrent(last);
    }
    if (last == nullptr) {
        MakeCurrent(nullptr);
    }
    Eof_ = true;
    Bof_ = last == nullptr;
}

void TTable::Next() {
    if (State_ != TTableState::Browse) {
        Post();
    }
    if (Current_ == nullptr) {
        Eof_ = true;
        return;
    }
    TRow* next = Successor(Current_);
    if (next == nullptr) {
        Eof_ = true;
        return;
    }
    if (Filtering()) {
        const std::size_t p = (Pos_ < Visible_.size() && Visible_[Pos_] == Current_) ? Pos_ + 1 : NoPos;
        Current_ = next;
        Pos_ = (p != NoPos && p < Visible_.size() && Visible_[p] == next) ? p : NoPos;
    } else {
        auto& rows = Data_->RowsOf(*Order_);
        auto it = (ItVersion_ == Order_->Version() && ItRow_ == Current_) ? std::next(It_) : rows.find(next);
        Current_ = next;
        It_ = it;
        ItVersion_ = Order_->Version();
        ItRow_ = next;
    }
    Bof_ = false;
    Eof_ = false;
}

void TTable::Prior() {
    if (State_ != TTableState::Browse) {
        Post();
    }
    if (Current_ == nullptr) {
        Bof_ = true;
        return;
    }
    TRow* prior = Predecessor(Current_);
    if (prior == nullptr) {
        Bof_ = true;
        return;
    }
    MakeCurrent(prior);
    Bof_ = false;
    Eof_ = false;
}

int TTable::RecordCount() const {
    if (Filtering()) {
        EnsureVisible();
        return static_cast<int>(Visible_.size());
    }
    return static_cast<int>(Data_->RowCount());
}

bool TTable::GotoBookmark(TBookmark bookmark) {
    TRow* row = Data_->RowOf(bookmark);
    if (row == nullptr) {
        return false;
    }
    MakeCurrent(row);
    Eof_ = Bof_ = false;
    return true;
}

std::vector<TBookmark> TTable::VisibleRows() const {
    std::vector<TBookmark> rows;
    if (Filtering()) {
        EnsureVisible();
        rows.reserve(Visible_.size());
        for (const TRow* row : Visible_) {
            rows.push_back(row->Seq);
        }
    } else {
        rows.reserve(Data_->RowsOf(*Order_).size());
        for (const TRow* row : Data_->RowsOf(*Order_)) {
            rows.push_back(row->Seq);
        }
    }
    return rows;
}

std::vector<const std::vector<TValue>*> TTable::VisibleRowValues() const {
    std::vector<const std::vector<TValue>*> values;
    auto add = [&](const TRow* row) { values.push_back(&row->Values); };
    if (Filtering()) {
        EnsureVisible();
        values.reserve(Visible_.size());
        std::for_each(Visible_.begin(), Visible_.end(), add);
    } else if (Order_->Keys().empty()) {
        const std::vector<TRow*> rows = Data_->RowsInInsertionOrder();
        values.reserve(rows.size());
        std::for_each(rows.begin(), rows.end(), add);
    } else {
        const auto& rows = Data_->RowsOf(*Order_);
        values.reserve(rows.size());
        std::for_each(rows.begin(), rows.end(), add);
    }
    return values;
}

// ---------------------------------------------------------------- changes

const std::vector<TValue>& TTable::RowValues() const {
    static const std::vector<TValue> none;
    if (State_ != TTableState::Browse) {
        return Buffer_;
    }
    return Current_ ? Current_->Values : none;
}

void TTable::AppendRow(const std::vector<TValue>& values) {
    Append();
    const std::size_t count = std::min(values.size(), Buffer_.size());
    for (std::size_t slot = 0; slot < count; ++slot) {
        Buffer_[slot] = values[slot];
    }
    CoerceBuffer();
    Post();
}

void TTable::AppendRow(std::vector<TValue>&& values) {
    if (State_ != TTableState::Browse) {
        throw Error(msg::table::AlreadyEditing(Name()));
    }
    values.resize(static_cast<std::size_t>(Data_->StoredFieldCount()));
    Buffer_.swap(values);
    EditRow_ = nullptr;
    State_ = TTableState::Insert;
    CoerceBuffer();
    Post();
}

void TTable::CoerceBuffer() {
    for (std::size_t slot = 0; slot < Buffer_.size(); ++slot) {
        const TFieldDef& field = Data_->StoredField(static_cast<int>(slot));
        TValue& v = Buffer_[slot];
        // Values already of the field's type (all but strings, which are cut) are taken as they are.
        const bool asIs = tavlor::IsNull(v) || (field.Type == TFieldType::Integer && v.index() == 1) ||
                          (field.Type != TFieldType::Integer && field.Type != TFieldType::String && v.index() == 2);
        if (!asIs) {
            v = Coerce(field, std::move(v));
        }
    }
}

void TTable::AppendRows(std::vector<std::vector<TValue>>& rows) {
    AppendRows(rows.size(), [&rows](std::size_t i, std::vector<TValue>& values) { values.swap(rows[i]); });
}

void TTable::AppendRows(std::size_t count, const TTableData::TRowFill& fill) {
    if (State_ != TTableState::Browse) {
        throw Error(msg::table::AlreadyEditing(Name()));
    }
    const std::size_t stored = static_cast<std::size_t>(Data_->StoredFieldCount());
    // As AppendRow: values already of the field's type (all but strings,
    // which are cut) are taken as they are; the others are converted.
    std::vector<std::size_t> typed(stored);  // the variant index a value of the field has as it is
    for (std::size_t slot = 0; slot < stored; ++slot) {
        switch (Data_->StoredField(static_cast<int>(slot)).Type) {
            case TFieldType::Integer:
                typed[slot] = 1;
                break;
            case TFieldType::String:
                typed[slot] = 0;  // none: always checked
                break;
            default:
                typed[slot] = 2;
                break;
        }
    }
    TRow* last = Data_->InsertRows(count, [&](std::size_t i, std::vector<TValue>& values) {
        fill(i, values);
        values.resize(stored);
        for (std::size_t slot = 0; slot < stored; ++slot) {
            TValue& v = values[slot];
            const std::size_t held = v.index();
            if (held != 0 && held != typed[slot]) {
                v = Coerce(Data_->StoredField(static_cast<int>(slot)), std::move(v));
            }
        }
    });
    if (last != nullptr) {
        MakeCurrent(last);
        Eof_ = Bof_ = false;
    }
}

void TTable::SetFieldPosted(int field, TValue value) {
    if (State_ != TTableState::Browse) {
        Post();
    }
    if (Current_ == nullptr) {
        throw Error(msg::table::EmptyDataSet(Name()));
    }
    const TFieldDef& f = Fields()[field];
    if (f.Kind != TFieldKind::Data) {
        throw Error(msg::table::NotADataField(Name(), f.Name));
    }
    Data_->UpdateValue(Current_, f.StorageIndex, Coerce(f, std::move(value)));
}

void TTable::Append() {
    if (State_ != TTableState::Browse) {
        throw Error(msg::table::AlreadyEditing(Name()));
    }
    Buffer_.assign(Data_->StoredFieldCount(), TValue());
    EditRow_ = nullptr;
    State_ = TTableState::Insert;
}

void TTable::Edit() {
    if (State_ == TTableState::Edit) {
        return;
    }
    if (State_ == TTableState::Insert) {
        throw Error(msg::table::AlreadyEditing(Name()));
    }
    if (Current_ == nullptr) {
        throw Error(msg::table::EmptyDataSet(Name()));
    }
    Buffer_ = Current_->Values;
    EditRow_ = Current_;
    State_ = TTableState::Edit;
}

void TTable::Post() {
    if (State_ == TTableState::Browse) {
        return;
    }
    const TTableState state = State_;
    TRow* row = EditRow_;
    State_ = TTableState::Browse;
    EditRow_ = nullptr;
    if (state == TTableState::Insert) {
        row = Data_->InsertRow(Buffer_);
    } else {
        Data_->UpdateRow(row, Buffer_);
    }
    MakeCurrent(row);
    Eof_ = Bof_ = false;
}

void TTable::Cancel() {
    State_ = TTableState::Browse;
    EditRow_ = nullptr;
}

void TTable::Delete() {
    if (State_ == TTableState::Insert) {
        Cancel();
        return;
    }
    Cancel();
    if (Current_ == nullptr) {
        throw Error(msg::table::EmptyDataSet(Name()));
    }
    Data_->DeleteRow(Current_);
}

// ---------------------------------------------------------------- orders

void TTable::SelectOrder(const TOrderKeys& keys) {
    TOrder& order = Data_->AcquireOrder(keys);
    Data_->ReleaseOrder(*Order_);
    Order_ = &order;
    VisibleValid_ = false;
    Visible_.clear();
    TRow* current = Current_;
    MakeCurrent(current);
}

TOrderKeys TTable::IndexKeys(std::string_view name) const {
    TOrderKeys keys;
    if (!name.empty()) {
        const TIndexDef* index = Data_->FindIndex(name);
        if (index == nullptr) {
            throw Error(msg::table::IndexNotFound(Name(), name));
        }
        for (const TIndexField& f : index->Fields) {
            const TFieldDef& def = FieldByName(f.Name);
            keys.push_back({def.StorageIndex, def.Type, f.Descending});
        }
    }
    return keys;
}

TOrderKeys TTable::FieldListKeys(std::string_view fields) const {
    TOrderKeys keys;
    for (int slot : ParseFieldList(fields)) {
        keys.push_back({slot, Data_->StoredField(slot).Type, false});
    }
    return keys;
}

void TTable::SetIndexName(std::string_view name) {
    SelectOrder(IndexKeys(name));
    IndexName_ = std::string(name);
    IndexFieldNames_.clear();
}

void TTable::SetIndexFieldNames(std::string_view fields) {
    SelectOrder(FieldListKeys(fields));
    IndexFieldNames_ = std::string(fields);
    IndexName_.clear();
}

std::vector<int> TTable::ParseFieldList(std::string_view fields) const {
    std::vector<int> slots;
    for (std::string_view name : SplitNames(fields)) {
        const TFieldDef& def = FieldByName(name);
        if (def.Kind != TFieldKind::Data) {
            throw Error(msg::table::NotADataField(Name(), name));
        }
        slots.push_back(def.StorageIndex);
    }
    return slots;
}

// ---------------------------------------------------------------- search

TRow* TTable::FirstMatching(const TKeyProbe& probe) const {
    const TOrderKeys& keys = Order_->Keys();
    if (Filtering()) {
        EnsureVisible();
        auto it = std::lower_bound(Visible_.begin(), Visible_.end(), probe,
                                   [&](const TRow* row, const TKeyProbe& p) { return Order_->Less()(row, p); });
        if (it != Visible_.end() && CompareWithProbe(keys, **it, probe) == 0) {
            return *it;
        }
        return nullptr;
    }
    auto it = Data_->RowsOf(*Order_).lower_bound(probe);
    if (it != Data_->RowsOf(*Order_).end() && CompareWithProbe(keys, **it, probe) == 0) {
        return *it;
    }
    return nullptr;
}

bool TTable::Locate(std::string_view fields, std::initializer_list<std::int32_t> values) {
    std::vector<TValue> v;
    v.reserve(values.size());
    for (std::int32_t i : values) {
        v.emplace_back(i);
    }
    return Locate(fields, v);
}

bool TTable::Locate(std::string_view fields, const std::vector<TValue>& values) {
    if (State_ != TTableState::Browse) {
        Post();
    }
    const std::vector<int> slots = ParseFieldList(fields);
    if (slots.empty() || slots.size() != values.size()) {
        throw Error(msg::table::WrongValueCount(Name()));
    }
    std::vector<TValue> wanted;
    bool allIntegers = slots.size() <= THashIndex::MaxFields;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const TFieldDef& def = Data_->StoredField(slots[i]);
        wanted.push_back(Coerce(def, values[i]));
        allIntegers = allIntegers && def.Type == TFieldType::Integer;
    }

    TRow* found = nullptr;
    const TOrderKeys& keys = Order_->Keys();
    // The listed fields are the leading keys of the current order: search the order.
    bool prefix = slots.size() <= keys.size();
    std::vector<TValue> probeValues;
    for (std::size_t k = 0; prefix && k < slots.size(); ++k) {
        auto at = std::find(slots.begin(), slots.end(), keys[k].Slot);
        if (at == slots.end()) {
            prefix = false;
        } else {
            probeValues.push_back(wanted[at - slots.begin()]);
        }
    }
    if (prefix) {
        found = FirstMatching(TKeyProbe{probeValues.data(), probeValues.size()});
    } else if (allIntegers) {
        // Otherwise the rows holding the values, through a hash index on the
        // listed fields; the first of them in the current order wins.
        if (const auto* rows = Data_->RowsHolding(slots.data(), wanted.data(), slots.size())) {
            const TRowLess less = Order_->Less();
            for (TRow* row : *rows) {
                if (Passes(*row) && (found == nullptr || less(row, found))) {
                    found = row;
                }
            }
        }
    } else {
        auto matches = [&](const TRow& row) {
            for (std::size_t i = 0; i < slots.size(); ++i) {
                if (!SameValue(row.Values[slots[i]], wanted[i])) {
                    return false;
                }
            }
            return true;
        };
        if (Filtering()) {
            EnsureVisible();
            for (TRow* row : Visible_) {
                if (matches(*row)) {
                    found = row;
                    break;
                }
            }
        } else {
            for (TRow* row : Data_->RowsOf(*Order_)) {
                if (matches(*row)) {
                    found = row;
                    break;
                }
            }
        }
    }
    if (found == nullptr) {
        return false;
    }
    MakeCurrent(found);
    Eof_ = Bof_ = false;
    return true;
}

bool TTable::FindKey(const std::vector<TValue>& values) {
    if (State_ != TTableState::Browse) {
        Post();
    }
    const TOrderKeys& keys = Order_->Keys();
    if (keys.empty()) {
        throw Error(msg::table::NoIndex(Name()));
    }
    if (values.empty() || values.size() > keys.size()) {
        throw Error(msg::table::WrongValueCount(Name()));
    }
    std::vector<TValue> probeValues;
    for (std::size_t k = 0; k < values.size(); ++k) {
        probeValues.push_back(Coerce(Data_->StoredField(keys[k].Slot), values[k]));
    }
    TRow* found = FirstMatching(TKeyProbe{probeValues.data(), probeValues.size()});
    if (found == nullptr) {
        return false;
    }
    MakeCurrent(found);
    Eof_ = Bof_ = false;
    return true;
}

// ---------------------------------------------------------------- filter

void TTable::SetFilter(std::string_view text) {
    if (text == FilterText_) {
        return;
    }
    Filter_ = TFilterExpr::Parse(text, *Data_);
    FilterText_ = std::string(text);
    if (Filtered_) {
        FilterChanged();
    }
}

void TTable::SetFiltered(bool on) {
    if (on == Filtered_) {
        return;
    }
    Filtered_ = on;
    FilterChanged();
}

void TTable::FilterChanged() {
    if (State_ != TTableState::Browse) {
        Post();
    }
    VisibleValid_ = false;
    Visible_.clear();
    if (Current_ != nullptr && Passes(*Current_)) {
        // Lifting a filter keeps the row: no need to build the whole order.
        MakeCurrent(Current_);
        Eof_ = Bof_ = false;
        return;
    }
    First();
}

// ---------------------------------------------------------------- notifications

void TTable::RemoveFromVisible(TRow* row) const {
    auto it = std::lower_bound(Visible_.begin(), Visible_.end(), row, Order_->Less());
    if (it != Visible_.end() && *it == row) {
        Visible_.erase(it);
    }
    Pos_ = NoPos;
}

void TTable::InsertIntoVisible(TRow* row) const {
    auto it = std::lower_bound(Visible_.begin(), Visible_.end(), row, Order_->Less());
    Visible_.insert(it, row);
    Pos_ = NoPos;
}

void TTable::OnRowInserted(TRow* row) {
    if (VisibleValid_ && Filtering() && Filter_.Accepts(*row)) {
        InsertIntoVisible(row);
    }
}

void TTable::OnRowUpdating(TRow* row, const std::vector<char>& changed) {
    Reinsert_ = nullptr;
    if (!VisibleValid_ || !Filtering()) {
        return;
    }
    bool moves = false;
    for (std::size_t slot = 0; slot < changed.size() && !moves; ++slot) {
        moves = changed[slot] && (Order_->UsesSlot(static_cast<int>(slot)) || Filter_.UsesSlot(static_cast<int>(slot)));
    }
    if (moves) {
        RemoveFromVisible(row);
        Reinsert_ = row;
    }
}

void TTable::OnRowUpdated(TRow* row) {
    if (Reinsert_ == row) {
        Reinsert_ = nullptr;
        if (Filter_.Accepts(*row)) {
            InsertIntoVisible(row);
        }
    }
    if (ItRow_ == row) {
        ItRow_ = nullptr;
    }
}

void TTable::OnRowDeleting(TRow* row) {
    if (EditRow_ == row) {
        Cancel();
    }
    if (Current_ == row) {
        TRow* next = Successor(row);
        if (next != nullptr) {
            Current_ = next;
            Eof_ = false;
        } else {
            Current_ = Predecessor(row);
            Eof_ = true;
            Bof_ = Current_ == nullptr;
        }
        Pos_ = NoPos;
        ItRow_ = nullptr;
    }
    if (VisibleValid_ && Filtering()) {
        RemoveFromVisible(row);
    }
    if (CalcRow_ == row) {
        CalcRow_ = nullptr;
    }
    if (ItRow_ == row) {
        ItRow_ = nullptr;
    }
}

void TTable::OnEmptied() {
    Cancel();
    Current_ = nullptr;
    Eof_ = Bof_ = true;
    Visible_.clear();
    VisibleValid_ = true;
    Pos_ = NoPos;
    ItRow_ = nullptr;
    CalcRow_ = nullptr;
}

void TTable::OnStructureChanged() {
    OnEmptied();
    // The table's orders go with its old structure; only the natural one remains.
    TOrder& natural = Data_->AcquireOrder({});
    Data_->ReleaseOrder(*Order_);
    Order_ = &natural;
    IndexName_.clear();
    IndexFieldNames_.clear();
    Filter_ = TFilterExpr();
    FilterText_.clear();
    Filtered_ = false;
    VisibleValid_ = false;
    Calc_.clear();
}

// ---------------------------------------------------------------- scopes

TFilterScope::TFilterScope(TTable& table, std::string_view filter)
    : Table_(table), SavedText_(table.Filter()), SavedOn_(table.Filtered()) {
    Table_.SetFilter(filter);
    Table_.SetFiltered(true);
}

TFilterScope::~TFilterScope() {
    try {
        Table_.SetFiltered(SavedOn_);
        Table_.SetFilter(SavedText_);
    } catch (...) {
        // The saved filter was valid when it was set; nothing can fail here.
    }
}

}  // namespace tavlor
