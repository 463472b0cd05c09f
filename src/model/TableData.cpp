#include "model/TableData.h"

#include "model/Table.h"
#include "model/TableMessages.h"
#include "text/Error.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tavlor {

namespace {

std::string UpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

bool UsesAny(const std::vector<int>& slots, const std::vector<char>& changed) {
    for (int s : slots) {
        if (changed[s]) {
            return true;
        }
    }
    return false;
}

bool UsesAny(const TOrderKeys& keys, const std::vector<char>& changed) {
    for (const TOrderKey& k : keys) {
        if (changed[k.Slot]) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::size_t TTableData::TNameHash::operator()(std::string_view name) const {
    std::size_t h = 1469598103934665603ull;
    for (char c : name) {
        h = (h ^ static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c)))) * 1099511628211ull;
    }
    return h;
}

bool TTableData::TNameEqual::operator()(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

TTableData::TTableData(std::string name, std::vector<TFieldDef> fields, std::vector<TIndexDef> indexes)
    : Name_(std::move(name)), Natural_(std::make_unique<TOrder>(TOrderKeys{})) {
    SetStructure(std::move(fields), std::move(indexes));
}

TTableData::~TTableData() = default;

void TTableData::SetStructure(std::vector<TFieldDef> fields, std::vector<TIndexDef> indexes) {
    ClearRows();
    for (TTable* cursor : Cursors_) {
        cursor->OnStructureChanged();
    }
    Orders_.clear();
    Hashes_.clear();
    Fields_ = std::move(fields);
    Indexes_ = std::move(indexes);
    StoredFields_.clear();
    ByName_.clear();
    Lookups_.clear();
    CalcFieldCount_ = 0;
    for (std::size_t i = 0; i < Fields_.size(); ++i) {
        TFieldDef& f = Fields_[i];
        if (!ByName_.emplace(f.Name, static_cast<int>(i)).second) {
            throw Error(msg::table::DuplicateField(Name_, f.Name));
        }
        f.StorageIndex = f.CalcIndex = f.LookupIndex = -1;
        switch (f.Kind) {
            case TFieldKind::Data:
                f.StorageIndex = static_cast<int>(StoredFields_.size());
                StoredFields_.push_back(static_cast<int>(i));
                break;
            case TFieldKind::Calculated:
                f.CalcIndex = CalcFieldCount_++;
                break;
            case TFieldKind::Lookup:
                f.LookupIndex = static_cast<int>(Lookups_.size());
                Lookups_.emplace_back();
                break;
        }
    }
    // Looked-up fields are resolved once the key fields of this table are known.
    for (TFieldDef& f : Fields_) {
        if (f.Kind != TFieldKind::Lookup) {
            continue;
        }
        TLookupSlots& slots = Lookups_[f.LookupIndex];
        slots.KeySlot = FieldByName(f.Lookup.KeyField).StorageIndex;
        const TTableData& other = *f.Lookup.LookupTable;
        slots.LookupKeySlot = other.FieldByName(f.Lookup.LookupKeyField).StorageIndex;
        slots.ResultSlot = other.FieldByName(f.Lookup.ResultField).StorageIndex;
        if (slots.KeySlot < 0 || slots.LookupKeySlot < 0 || slots.ResultSlot < 0) {
            throw Error(msg::table::NotADataField(Name_, f.Name));
        }
    }
    for (const TIndexDef& index : Indexes_) {
        for (const TIndexField& field : index.Fields) {
            if (FieldByName(field.Name).StorageIndex < 0) {
                throw Error(msg::table::NotADataField(Name_, field.Name));
            }
        }
    }
    ++Version_;
    NotifyFields();
    Notify();
}

const TFieldDef* TTableData::FindField(std::string_view name) const {
    const int i = FieldIndex(name);
    return i < 0 ? nullptr : &Fields_[i];
}

int TTableData::FieldIndex(std::string_view name) const {
    auto it = ByName_.find(name);
    return it == ByName_.end() ? -1 : it->second;
}

const TFieldDef& TTableData::FieldByName(std::string_view name) const {
    const TFieldDef* f = FindField(name);
    if (f == nullptr) {
        throw Error(msg::table::FieldNotFound(Name_, name));
    }
    return *f;
}

const TIndexDef* TTableData::FindIndex(std::string_view name) const {
    const std::string wanted = UpperAscii(name);
    for (const TIndexDef& index : Indexes_) {
        if (UpperAscii(index.Name) == wanted) {
            return &index;
        }
    }
    return nullptr;
}

void TTableData::SetFieldVisible(std::string_view name, bool visible) {
    const int i = FieldIndex(name);
    if (i < 0) {
        throw Error(msg::table::FieldNotFound(Name_, name));
    }
    if (Fields_[i].Visible != visible) {
        Fields_[i].Visible = visible;
        NotifyFields();
    }
}

void TTableData::SetFieldGetText(std::string_view name, std::function<std::string(const TValue&)> getText) {
    const int i = FieldIndex(name);
    if (i < 0) {
        throw Error(msg::table::FieldNotFound(Name_, name));
    }
    Fields_[i].OnGetText = std::move(getText);
    NotifyFields();
}

void TTableData::SetDisplayOrder(const std::vector<std::string>& names) {
    std::vector<TFieldDef> ordered;
    std::vector<char> taken(Fields_.size(), 0);
    for (const std::string& name : names) {
        const int i = FieldIndex(name);
        if (i < 0) {
            throw Error(msg::table::FieldNotFound(Name_, name));
        }
        if (taken[i]) {
            throw Error(msg::table::DuplicateField(Name_, name));
        }
        taken[i] = 1;
        ordered.push_back(Fields_[i]);
    }
    for (std::size_t i = 0; i < Fields_.size(); ++i) {
        if (!taken[i]) {
            ordered.push_back(Fields_[i]);  // fields left out keep their relative order, at the end
        }
    }
    Fields_ = std::move(ordered);
    ByName_.clear();
    for (std::size_t i = 0; i < Fields_.size(); ++i) {
        ByName_.emplace(Fields_[i].Name, static_cast<int>(i));
        if (Fields_[i].StorageIndex >= 0) {
            StoredFields_[Fields_[i].StorageIndex] = static_cast<int>(i);
        }
    }
    NotifyFields();
}

void TTableData::ClearRows() {
    for (TTable* cursor : Cursors_) {
        cursor->OnEmptied();
    }
    Natural_->Clear();
    for (auto& order : Orders_) {
        order->Clear();
    }
    for (auto& hash : Hashes_) {
        hash->Clear();
    }
    // Emptied rows are kept for the refill that usually follows (views refill
    // their tables at every change of selection), up to the size of the table.
    Spare_.reserve(Spare_.size() + Storage_.size());
    for (auto& row : Storage_) {
        Spare_.push_back(std::move(row));
    }
    Storage_.clear();
}

void TTableData::Empty() {
    ClearRows();
    ++Version_;
    Notify();
}

TOrder& TTableData::AcquireOrder(const TOrderKeys& keys) {
    TOrder* found = keys.empty() ? Natural_.get() : nullptr;
    for (auto& order : Orders_) {
        if (found == nullptr && order->SameKeys(keys)) {
            found = order.get();
        }
    }
    if (found == nullptr) {
        Orders_.push_back(std::make_unique<TOrder>(keys));
        found = Orders_.back().get();
        found->MarkStale();
    }
    found->AddUser();
    return *found;
}

template <class F>
void TTableData::ForEachOrder(F&& f) {
    f(*Natural_);
    for (auto& order : Orders_) {
        f(*order);
    }
}

TOrder::TRowSet& TTableData::RowsOf(TOrder& order) {
    if (order.Stale()) {
        order.Rebuild(Storage_);
    }
    return order.Rows();
}

THashIndex& TTableData::HashIndexFor(std::vector<int> slots) {
    return HashIndexFor(slots.data(), slots.size());
}

THashIndex& TTableData::HashIndexFor(const int* slots, std::size_t count) {
    for (auto& hash : Hashes_) {
        const std::vector<int>& have = hash->Slots();
        if (have.size() == count && std::equal(have.begin(), have.end(), slots)) {
            return *hash;
        }
    }
    auto hash = std::make_unique<THashIndex>(std::vector<int>(slots, slots + count));
    for (auto& row : Storage_) {
        hash->Insert(row.get());
    }
    Hashes_.push_back(std::move(hash));
    return *Hashes_.back();
}

const std::vector<TRow*>* TTableData::RowsHolding(const int* slots, const TValue* values, std::size_t count) {
    if (count == 0 || count > THashIndex::MaxFields) {
        throw Error(msg::table::WrongValueCount(Name_));
    }
    // One hash index per set of fields, whatever order they are listed in.
    std::array<std::pair<int, const TValue*>, THashIndex::MaxFields> keys;
    for (std::size_t i = 0; i < count; ++i) {
        keys[i] = {slots[i], &values[i]};
    }
    std::sort(keys.begin(), keys.begin() + count, [](const auto& a, const auto& b) { return a.first < b.first; });
    std::array<int, THashIndex::MaxFields> sortedSlots{};
    std::array<TValue, THashIndex::MaxFields> sortedValues;
    for (std::size_t i = 0; i < count; ++i) {
        sortedSlots[i] = keys[i].first;
        sortedValues[i] = *keys[i].second;
    }
    THashIndex& hash = HashIndexFor(sortedSlots.data(), count);
    return hash.Find(hash.KeyOf(sortedValues.data()));
}

namespace {

const TRow* Earliest(const std::vector<TRow*>* rows) {
    const TRow* first = nullptr;
    if (rows != nullptr) {
        for (const TRow* row : *rows) {
            if (first == nullptr || row->Seq < first->Seq) {
                first = row;
            }
        }
    }
    return first;
}

}  // namespace

const TRow* TTableData::FindFirst(int slot, const TValue& value) {
    return Earliest(RowsHolding(&slot, &value, 1));
}

TRowView TTableData::Lookup(std::string_view fields, std::initializer_list<std::int32_t> values) {
    std::array<int, THashIndex::MaxFields> slots{};
    std::array<TValue, THashIndex::MaxFields> wanted;
    std::size_t count = 0;
    std::size_t start = 0;
    auto value = values.begin();
    while (start <= fields.size()) {
        std::size_t end = fields.find(';', start);
        if (end == std::string_view::npos) {
            end = fields.size();
        }
        const TFieldDef& f = FieldByName(fields.substr(start, end - start));
        if (f.Kind != TFieldKind::Data || f.Type != TFieldType::Integer) {
            throw Error(msg::table::NotAnIntegerField(Name_, f.Name));
        }
        if (value == values.end() || count == slots.size()) {
            throw Error(msg::table::WrongValueCount(Name_));
        }
        slots[count] = f.StorageIndex;
        wanted[count++] = *value++;
        start = end + 1;
    }
    if (value != values.end()) {
        throw Error(msg::table::WrongValueCount(Name_));
    }
    return TRowView(this, Earliest(RowsHolding(slots.data(), wanted.data(), count)));
}

TValue TRowView::Value(std::string_view field) const {
    const TFieldDef& f = Data_->FieldByName(field);
    if (f.Kind != TFieldKind::Data) {
        throw Error(msg::table::NotADataField(Data_->Name(), field));
    }
    return Row_ ? Row_->Values[f.StorageIndex] : TValue();
}

bool TRowView::IsNull(std::string_view field) const {
    return tavlor::IsNull(Value(field));
}

std::int32_t TRowView::AsInteger(std::string_view field) const {
    return ValueAsInteger(Value(field));
}

double TRowView::AsFloat(std::string_view field) const {
    return ValueAsFloat(Value(field));
}

std::string TRowView::AsString(std::string_view field) const {
    return ValueAsString(Value(field), Data_->FieldByName(field).Type);
}

TBookmark TRowView::Bookmark() const {
    return Row_ ? Row_->Seq : 0;
}

std::vector<TRow*> TTableData::RowsInInsertionOrder() const {
    std::vector<TRow*> rows;
    rows.reserve(Storage_.size());
    for (const auto& row : Storage_) {
        rows.push_back(row.get());
    }
    // Storage keeps the insertion order until a row is deleted (the last row
    // then takes its place).
    auto bySeq = [](const TRow* a, const TRow* b) { return a->Seq < b->Seq; };
    if (!std::is_sorted(rows.begin(), rows.end(), bySeq)) {
        std::sort(rows.begin(), rows.end(), bySeq);
    }
    return rows;
}

TRow* TTableData::RowOf(TBookmark bookmark) const {
    auto& rows = const_cast<TTableData*>(this)->RowsOf(*Natural_);
    auto it = rows.find(TSeqProbe{bookmark});
    return it == rows.end() ? nullptr : *it;
}

TRow* TTableData::InsertRow(std::vector<TValue>& values) {
    values.resize(StoredFields_.size());
    std::unique_ptr<TRow> owned;
    if (Spare_.empty()) {
        owned = std::make_unique<TRow>();
    } else {
        owned = std::move(Spare_.back());
        Spare_.pop_back();
    }
    TRow* row = owned.get();
    row->Values.swap(values);  // the caller's buffer takes the spare row's storage
    row->Seq = NextSeq_++;
    row->Slot = Storage_.size();
    Storage_.push_back(std::move(owned));
    // The insertion order too is kept up to date only while a cursor uses it:
    // the working tables refilled at every change of selection walk other orders.
    ForEachOrder([row](TOrder& order) {
        if (order.Stale()) {
            return;
        }
        if (order.Users() > 0) {
            order.Insert(row);
        } else {
            order.MarkStale();
        }
    });
    for (auto& hash : Hashes_) {
        hash->Insert(row);
    }
    for (TTable* cursor : Cursors_) {
        cursor->OnRowInserted(row);
    }
    ++Version_;
    Notify();
    return row;
}

TRow* TTableData::InsertRows(std::size_t count, const TRowFill& fill) {
    if (count == 0) {
        return nullptr;
    }
    const std::size_t before = Storage_.size();
    Storage_.reserve(before + count);
    try {
        for (std::size_t i = 0; i < count; ++i) {
            // Reused rows lie apart in memory: ask early for the ones to come.
            if (Spare_.size() > 8) {
                const TRow& ahead = *Spare_[Spare_.size() - 9];
                const char* values = reinterpret_cast<const char*>(ahead.Values.data());
                for (std::size_t b = 0; b < ahead.Values.size() * sizeof(TValue); b += 64) {
                    __builtin_prefetch(values + b, 1);
                }
            }
            if (Spare_.size() > 16) {
                __builtin_prefetch(Spare_[Spare_.size() - 17].get(), 1);
            }
            std::unique_ptr<TRow> owned;
            if (Spare_.empty()) {
                owned = std::make_unique<TRow>();
            } else {
                owned = std::move(Spare_.back());
                Spare_.pop_back();
            }
            owned->Values.resize(StoredFields_.size());
            try {
                fill(i, owned->Values);
            } catch (...) {
                Spare_.push_back(std::move(owned));
                throw;
            }
            owned->Values.resize(StoredFields_.size());
            owned->Seq = NextSeq_++;
            owned->Slot = Storage_.size();
            Storage_.push_back(std::move(owned));
        }
    } catch (...) {
        // Nothing of a failed fill is inserted.
        while (Storage_.size() > before) {
            Spare_.push_back(std::move(Storage_.back()));
            Storage_.pop_back();
        }
        throw;
    }
    const bool resort = count >= before;
    ForEachOrder([&](TOrder& order) {
        if (order.Stale()) {
            return;
        }
        if (order.Users() == 0) {
            order.MarkStale();
        } else if (resort) {
            order.Rebuild(Storage_);
        } else {
            for (std::size_t i = before; i < Storage_.size(); ++i) {
                order.Insert(Storage_[i].get());
            }
        }
    });
    for (auto& hash : Hashes_) {
        for (std::size_t i = before; i < Storage_.size(); ++i) {
            hash->Insert(Storage_[i].get());
        }
    }
    for (TTable* cursor : Cursors_) {
        for (std::size_t i = before; i < Storage_.size(); ++i) {
            cursor->OnRowInserted(Storage_[i].get());
        }
    }
    Version_ += Storage_.size() - before;
    Notify();
    return Storage_.back().get();
}

void TTableData::UpdateRow(TRow* row, std::vector<TValue>& values) {
    values.resize(StoredFields_.size());
    std::vector<char> changed(values.size(), 0);
    bool any = false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] != row->Values[i]) {
            changed[i] = 1;
            any = true;
        }
    }
    if (any) {
        ApplyUpdate(row, changed, [&] { row->Values.swap(values); });
    }
}

void TTableData::UpdateValue(TRow* row, int slot, TValue value) {
    if (row->Values[slot] == value) {
        return;
    }
    std::vector<char> changed(row->Values.size(), 0);
    changed[slot] = 1;
    ApplyUpdate(row, changed, [&] { row->Values[slot] = std::move(value); });
}

void TTableData::ApplyUpdate(TRow* row, const std::vector<char>& changed, const std::function<void()>& write) {
    // Take the row out of every structure whose position depends on a changed
    // value while it still holds its old values, then put it back.
    for (TTable* cursor : Cursors_) {
        cursor->OnRowUpdating(row, changed);
    }
    std::vector<TOrder*> orders;
    for (auto& order : Orders_) {
        if (!order->Stale() && UsesAny(order->Keys(), changed)) {
            if (order->Users() > 0) {
                order->Erase(row);
                orders.push_back(order.get());
            } else {
                order->MarkStale();
            }
        }
    }
    std::vector<THashIndex*> hashes;
    for (auto& hash : Hashes_) {
        if (UsesAny(hash->Slots(), changed)) {
            hash->Erase(row);
            hashes.push_back(hash.get());
        }
    }
    write();
    for (TOrder* order : orders) {
        order->Insert(row);
    }
    for (THashIndex* hash : hashes) {
        hash->Insert(row);
    }
    for (TTable* cursor : Cursors_) {
        cursor->OnRowUpdated(row);
    }
    ++Version_;
    Notify();
}

void TTableData::DeleteRow(TRow* row) {
    for (TTable* cursor : Cursors_) {
        cursor->OnRowDeleting(row);
    }
    ForEachOrder([row](TOrder& order) {
        if (!order.Stale()) {
            order.Erase(row);
        }
    });
    for (auto& hash : Hashes_) {
        hash->Erase(row);
    }
    const std::size_t slot = row->Slot;
    Spare_.push_back(std::move(Storage_[slot]));
    if (slot + 1 != Storage_.size()) {
        Storage_[slot] = std::move(Storage_.back());
        Storage_[slot]->Slot = slot;
    }
    Storage_.pop_back();
    ++Version_;
    Notify();
}

void TTableData::RegisterCursor(TTable* cursor) {
    Cursors_.push_back(cursor);
}

void TTableData::UnregisterCursor(TTable* cursor) {
    Cursors_.erase(std::remove(Cursors_.begin(), Cursors_.end(), cursor), Cursors_.end());
}

void TTableData::AddListener(ITableListener* listener) {
    Listeners_.push_back(listener);
}

void TTableData::RemoveListener(ITableListener* listener) {
    Listeners_.erase(std::remove(Listeners_.begin(), Listeners_.end(), listener), Listeners_.end());
}

void TTableData::BeginUpdate() {
    ++UpdateDepth_;
}

void TTableData::EndUpdate() {
    if (UpdateDepth_ == 0 || --UpdateDepth_ > 0) {
        return;
    }
    if (FieldsDirty_) {
        FieldsDirty_ = false;
        NotifyFields();
    }
    if (Dirty_) {
        Dirty_ = false;
        Notify();
    }
}

void TTableData::Notify() {
    if (UpdateDepth_ > 0) {
        Dirty_ = true;
        return;
    }
    const auto listeners = Listeners_;  // a listener may remove itself
    for (ITableListener* listener : listeners) {
        listener->TableChanged(*this);
    }
}

void TTableData::NotifyFields() {
    if (UpdateDepth_ > 0) {
        FieldsDirty_ = true;
        return;
    }
    const auto listeners = Listeners_;
    for (ITableListener* listener : listeners) {
        listener->FieldsChanged(*this);
    }
}

}  // namespace tavlor
