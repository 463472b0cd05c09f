#include "workbook/Biff8Writer.h"

#include "text/Error.h"
#include "workbook/CompoundFile.h"
#include "workbook/FileOutput.h"
#include "workbook/Unicode.h"
#include "workbook/WorkbookMessages.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace tavlor::workbook::detail {

namespace {

// ---- Records ----

enum TRecord : std::uint16_t {
    rtEof = 0x000A,
    rtDate1904 = 0x0022,
    rtFont = 0x0031,
    rtContinue = 0x003C,
    rtWindow1 = 0x003D,
    rtCodePage = 0x0042,
    rtDefColWidth = 0x0055,
    rtColInfo = 0x007D,
    rtBoundSheet = 0x0085,
    rtPalette = 0x0092,
    rtXf = 0x00E0,
    rtSst = 0x00FC,
    rtLabelSst = 0x00FD,
    rtExtSst = 0x00FF,
    rtDimensions = 0x0200,
    rtBlank = 0x0201,
    rtNumber = 0x0203,
    rtBoolErr = 0x0205,
    rtRow = 0x0208,
    rtWindow2 = 0x023E,
    rtStyle = 0x0293,
    rtFormat = 0x041E,
    rtBof = 0x0809,
};

constexpr std::size_t kMaxRecordData = 8224;
constexpr std::size_t kMaxXfs = 4000;  // what Excel 97 accepts
constexpr std::uint16_t kFirstCellXf = 16;
constexpr std::uint16_t kDefaultCellXf = 15;
constexpr std::uint16_t kFirstCustomFormat = 164;
constexpr std::uint16_t kAutomaticColor = 0x7FFF;
constexpr std::size_t kDefaultFontRecords = 4;  // index 4 is skipped by every reader
constexpr std::size_t kMaxFontNameLength = 31;
constexpr std::uint16_t kDefaultColumnWidth = 8;      // characters
constexpr std::uint16_t kDefaultColumnWidthX = 2340;  // the same in COLINFO units, padding included

inline void Le16(char* p, std::uint16_t v) {
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>(v >> 8);
}

inline void Le32(char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

inline void LeF64(char* p, double v) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i) {
        p[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
}

class TOut {
public:
    explicit TOut(std::string& bytes) : B(bytes) {}

    void U8(std::uint8_t v) { B.push_back(static_cast<char>(v)); }
    void U16(std::uint16_t v) {
        char t[2];
        Le16(t, v);
        B.append(t, 2);
    }
    void U32(std::uint32_t v) {
        char t[4];
        Le32(t, v);
        B.append(t, 4);
    }
    void Zeros(std::size_t n) { B.append(n, '\0'); }
    void Raw(std::string_view bytes) { B.append(bytes); }

    std::size_t Begin(std::uint16_t type) {
        const std::size_t at = B.size();
        U16(type);
        U16(0);
        return at;
    }
    void End(std::size_t at) {
        const std::size_t length = B.size() - at - 4;
        assert(length <= kMaxRecordData);
        Le16(B.data() + at + 2, static_cast<std::uint16_t>(length));
    }
    std::size_t Room(std::size_t recordAt) const { return kMaxRecordData - (B.size() - recordAt - 4); }

    void Patch32(std::size_t at, std::uint32_t v) { Le32(B.data() + at, v); }

    std::string& B;
};

// ---- Strings ----

// 1-byte length (names of sheets and fonts).
void ShortString(TOut& out, std::string_view utf8) {
    const TBiffString s = EncodeBiffString(utf8);
    out.U8(static_cast<std::uint8_t>(s.Chars));
    out.U8(s.Wide ? 1 : 0);
    out.Raw(s.Bytes);
}

// 2-byte length (number formats).
void LongString(TOut& out, std::string_view utf8) {
    const TBiffString s = EncodeBiffString(utf8);
    out.U16(static_cast<std::uint16_t>(s.Chars));
    out.U8(s.Wide ? 1 : 0);
    out.Raw(s.Bytes);
}

std::string FirstChars(std::string_view utf8, std::size_t n) {
    const std::u32string chars = DecodeUtf8(utf8);
    std::string out;
    for (std::size_t i = 0; i < chars.size() && i < n; ++i) {
        AppendUtf8(out, chars[i]);
    }
    return out;
}

// ---- Palette ----

constexpr std::array<std::uint32_t, 56> kDefaultPalette = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000,
    0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, 0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF,
    0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000,
    0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, 0x003366, 0x339966,
    0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};
constexpr std::uint16_t kFirstPaletteIndex = 8;

// Font colours are palette indexes: a colour of the default palette keeps its
// entry, any other takes over an entry no used colour needs (the last first);
// beyond 56 colours the nearest entry serves.
struct TPalette {
    std::array<std::uint32_t, 56> Colors = kDefaultPalette;
    bool Changed = false;
    std::unordered_map<std::uint32_t, std::uint16_t> IndexOf;

    explicit TPalette(const std::vector<TFont>& fonts) {
        std::vector<std::uint32_t> wanted;
        for (const TFont& font : fonts) {
            if (font.Color && std::find(wanted.begin(), wanted.end(), *font.Color & 0xFFFFFF) == wanted.end()) {
                wanted.push_back(*font.Color & 0xFFFFFF);
            }
        }
        std::array<bool, 56> taken{};
        std::vector<std::uint32_t> others;
        for (const std::uint32_t color : wanted) {
            const auto at = std::find(kDefaultPalette.begin(), kDefaultPalette.end(), color);
            if (at != kDefaultPalette.end()) {
                const auto slot = static_cast<std::size_t>(at - kDefaultPalette.begin());
                taken[slot] = true;
                IndexOf[color] = static_cast<std::uint16_t>(kFirstPaletteIndex + slot);
            } else {
                others.push_back(color);
            }
        }
        std::size_t slot = Colors.size();
        for (const std::uint32_t color : others) {
            while (slot > 0 && taken[slot - 1]) {
                --slot;
            }
            if (slot == 0) {
                IndexOf[color] = Nearest(color);
                continue;
            }
            --slot;
            taken[slot] = true;
            Colors[slot] = color;
            Changed = true;
            IndexOf[color] = static_cast<std::uint16_t>(kFirstPaletteIndex + slot);
        }
    }

    std::uint16_t Nearest(std::uint32_t color) const {
        const auto channel = [](std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
        std::size_t best = 0;
        long bestDistance = -1;
        for (std::size_t i = 0; i < Colors.size(); ++i) {
            long distance = 0;
            for (const int shift : {0, 8, 16}) {
                const long d = channel(color, shift) - channel(Colors[i], shift);
                distance += d * d;
            }
            if (bestDistance < 0 || distance < bestDistance) {
                bestDistance = distance;
                best = i;
            }
        }
        return static_cast<std::uint16_t>(kFirstPaletteIndex + best);
    }

    std::uint16_t Index(const TFont& font) const {
        return font.Color ? IndexOf.at(*font.Color & 0xFFFFFF) : kAutomaticColor;
    }
};

// ---- Formats and XFs ----

bool IsGeneral(std::string_view format) {
    static constexpr std::string_view kGeneral = "general";
    return format.size() == kGeneral.size() &&
           std::equal(format.begin(), format.end(), kGeneral.begin(),
                      [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a + 32 : a) == b; });
}

}  // namespace

// Number format ids in the file: "General" is the built-in 0, each other format
// used gets a FORMAT record from 164 on.
class TFormatIds {
public:
    explicit TFormatIds(const TBookData& book) : Book_(book), IdOf_(book.Formats.size(), kUnassigned) {}

    std::uint16_t Id(std::uint16_t format) {
        std::uint16_t& id = IdOf_[format];
        if (id == kUnassigned) {
            if (format == 0 || IsGeneral(Book_.Formats[format])) {
                id = 0;
            } else {
                id = static_cast<std::uint16_t>(kFirstCustomFormat + Records.size());
                Records.push_back(format);
            }
        }
        return id;
    }

    std::vector<std::uint16_t> Records;  // formats by file id from 164

private:
    static constexpr std::uint16_t kUnassigned = 0xFFFF;
    const TBookData& Book_;
    std::vector<std::uint16_t> IdOf_;
};

struct TXfKey {
    std::uint16_t Font = 0;
    std::uint16_t FormatId = 0;
    std::uint8_t Align = 0;
};

class TXfTable {
public:
    TXfTable() {
        MemoKey_.fill(kNoKey);
        MemoXf_.fill(kDefaultCellXf);
    }

    std::uint16_t Xf(std::uint16_t font, std::uint16_t formatId, std::uint8_t align) {
        const std::uint64_t key = Key(font, formatId, align);
        if (key == 0) {
            return kDefaultCellXf;
        }
        const auto [at, inserted] = Index_.try_emplace(key, static_cast<std::uint16_t>(kFirstCellXf + Keys.size()));
        if (inserted) {
            if (kFirstCellXf + Keys.size() >= kMaxXfs) {
                Index_.erase(at);
                throw Error(msg::workbook::TooManyCellFormats(kMaxXfs - kFirstCellXf));
            }
            Keys.push_back({font, formatId, align});
        }
        return at->second;
    }

    // The same, remembering the last look-up of each column, where it mostly repeats.
    std::uint16_t CellXf(std::uint16_t col, std::uint16_t font, std::uint16_t formatId, std::uint8_t align) {
        const std::uint64_t key = Key(font, formatId, align);
        if (MemoKey_[col] != key) {
            MemoKey_[col] = key;
            MemoXf_[col] = Xf(font, formatId, align);
        }
        return MemoXf_[col];
    }

    std::vector<TXfKey> Keys;  // cell XFs from 16

private:
    static constexpr std::uint64_t kNoKey = ~std::uint64_t{0};
    static std::uint64_t Key(std::uint16_t font, std::uint16_t formatId, std::uint8_t align) {
        return font | (std::uint64_t{formatId} << 16) | (std::uint64_t{align} << 32);
    }

    std::unordered_map<std::uint64_t, std::uint16_t> Index_;
    std::array<std::uint64_t, 256> MemoKey_{};
    std::array<std::uint16_t, 256> MemoXf_{};
};

namespace {

std::uint8_t AlignmentByte(std::uint8_t align) {
    static constexpr std::uint8_t kVertical[] = {2, 1, 0};      // bottom, centre, top
    const auto h = static_cast<std::uint8_t>(HAlignOf(align));  // general, left, centre, right: same codes
    const auto v = kVertical[static_cast<std::size_t>(VAlignOf(align))];
    return static_cast<std::uint8_t>(h | (WrapOf(align) ? 0x08 : 0) | (v << 4));
}

void XfRecord(TOut& out, std::uint16_t font, std::uint16_t formatId, std::uint16_t typeAndParent,
              std::uint8_t alignment, std::uint8_t usedAttributes) {
    const std::size_t at = out.Begin(rtXf);
    out.U16(font);
    out.U16(formatId);
    out.U16(typeAndParent);
    out.U8(alignment);
    out.U8(0);  // rotation
    out.U8(0);  // indent, shrink, reading order
    out.U8(usedAttributes);
    out.U32(0);       // borders
    out.U32(0);       // border colours, no fill pattern
    out.U16(0x20C0);  // fill colours: system foreground 64, background 65
    out.End(at);
}

// ---- Common records ----

void Bof(TOut& out, std::uint16_t type) {
    const std::size_t at = out.Begin(rtBof);
    out.U16(0x0600);  // BIFF8
    out.U16(type);
    out.U16(0x0DBB);  // build
    out.U16(0x07CC);  // year
    out.U32(0);       // file history
    out.U32(0x06);    // lowest BIFF version
    out.End(at);
}

void Eof(TOut& out) {
    out.End(out.Begin(rtEof));
}

// ---- Sheets ----

constexpr std::size_t kChunk = 1 << 20;

// Record sizes, header included, of what a sheet holds besides its cells.
constexpr std::size_t kSheetFixedSize = 20 + 6 + 18 + 22 + 4;  // BOF, DEFCOLWIDTH, DIMENSIONS, WINDOW2, EOF
constexpr std::size_t kColInfoSize = 16;
constexpr std::size_t kRowSize = 20;

std::size_t CellRecordSize(const TCell& cell) {
    switch (cell.Kind) {
        case TCellKind::Blank:
            return 10;
        case TCellKind::Text:
            return 14;
        default:
            return std::isfinite(cell.Number) ? 18 : 12;
    }
}

bool HasColInfo(const TColumn& column) {
    return column.Width >= 0 || column.Format != 0;
}

// Writes the sheet's records to out, handing them to write whenever a chunk is full.
void WriteSheet(TOut& out, const TWriter& write, const TBookData& book, const TSheetData& sheet, bool selected,
                TFormatIds& formats, TXfTable& xfs, const std::vector<std::uint16_t>& fontIndex) {
    Bof(out, 0x0010);

    std::size_t at = out.Begin(rtDefColWidth);
    out.U16(kDefaultColumnWidth);
    out.End(at);

    for (std::size_t c = 0; c < sheet.Columns.size(); ++c) {
        const TColumn& column = sheet.Columns[c];
        if (!HasColInfo(column)) {
            continue;
        }
        at = out.Begin(rtColInfo);
        out.U16(static_cast<std::uint16_t>(c));
        out.U16(static_cast<std::uint16_t>(c));
        out.U16(column.Width >= 0 ? static_cast<std::uint16_t>(std::lround(column.Width * 256)) : kDefaultColumnWidthX);
        out.U16(xfs.Xf(0, formats.Id(column.Format), 0));
        out.U16(column.Width >= 0 ? 0x0002 : 0x0000);  // width set by the user
        out.U16(0);
        out.End(at);
    }

    std::size_t firstRow = 0;
    while (firstRow < sheet.Rows.size() && sheet.Rows[firstRow].empty()) {
        ++firstRow;
    }
    const bool empty = firstRow == sheet.Rows.size();
    std::uint16_t firstCol = empty ? 0 : 0xFFFF;
    for (const auto& row : sheet.Rows) {
        if (!row.empty()) {
            firstCol = std::min(firstCol, row.front().Col);
        }
    }
    at = out.Begin(rtDimensions);
    out.U32(empty ? 0 : static_cast<std::uint32_t>(firstRow));
    out.U32(empty ? 0 : static_cast<std::uint32_t>(sheet.Rows.size()));
    out.U16(firstCol);
    out.U16(static_cast<std::uint16_t>(sheet.ColCount));
    out.U16(0);
    out.End(at);

    // Only the rows given a height have a ROW record, all before the cells:
    // readers take the rows' records wherever they stand ahead of their cells.
    for (const auto& [r, twips] : sheet.RowHeights) {
        const bool hasCells = static_cast<std::size_t>(r) < sheet.Rows.size() && !sheet.Rows[r].empty();
        const TRow* cells = hasCells ? &sheet.Rows[r] : nullptr;
        at = out.Begin(rtRow);
        out.U16(static_cast<std::uint16_t>(r));
        out.U16(hasCells ? cells->front().Col : 0);                                                 // first column
        out.U16(hasCells ? static_cast<std::uint16_t>(cells->Cells[cells->Size - 1].Col + 1) : 0);  // last + 1
        out.U16(twips & 0x7FFF);  // bit 15 clear: a height of its own
        out.U16(0);
        out.U16(0);
        // Height set by hand (fUnsynced), the bit that is always set, and the
        // default cell XF: the row has no format of its own (fGhostDirty clear).
        out.U32(0x0040 | 0x0100 | (std::uint32_t{kDefaultCellXf} << 16));
        out.End(at);
    }

    for (std::size_t r = firstRow; r < sheet.Rows.size(); ++r) {
        const auto row = static_cast<std::uint16_t>(r);
        for (const TCell& cell : sheet.Rows[r]) {
            const std::uint16_t xf =
                xfs.CellXf(cell.Col, fontIndex[cell.Font], formats.Id(EffectiveFormat(book, sheet, cell)), cell.Align);
            char rec[18];
            Le16(rec + 4, row);
            Le16(rec + 6, cell.Col);
            Le16(rec + 8, xf);
            switch (cell.Kind) {
                case TCellKind::Blank:
                    Le16(rec, rtBlank);
                    Le16(rec + 2, 6);
                    break;
                case TCellKind::Text:
                    Le16(rec, rtLabelSst);
                    Le16(rec + 2, 10);
                    Le32(rec + 10, cell.Text);
                    break;
                case TCellKind::Number:
                case TCellKind::Date:
                    if (std::isfinite(cell.Number)) {
                        Le16(rec, rtNumber);
                        Le16(rec + 2, 14);
                        LeF64(rec + 10, cell.Number);
                    } else {
                        Le16(rec, rtBoolErr);
                        Le16(rec + 2, 8);
                        rec[10] = 0x24;  // #NUM!
                        rec[11] = 1;     // an error, not a boolean
                    }
                    break;
            }
            out.B.append(rec, CellRecordSize(cell));
        }
        if (out.B.size() >= kChunk) {
            write(out.B);
            out.B.clear();
        }
    }

    at = out.Begin(rtWindow2);
    out.U16(selected ? 0x06B6 : 0x00B6);  // grid, headers, zeros, default colours, outline; selected and shown
    out.U16(0);                           // top row
    out.U16(0);                           // left column
    out.U16(64);                          // grid colour: automatic
    out.U16(0);
    out.U16(0);  // zoom in page-break preview: default
    out.U16(0);  // zoom in normal view: default
    out.U32(0);
    out.End(at);

    Eof(out);
}

// ---- Shared strings ----

void WriteSst(TOut& out, const TBookData& book, std::uint32_t references) {
    const std::size_t count = book.Strings.size();
    if (count == 0) {
        return;
    }
    const std::size_t perBucket = std::max<std::size_t>(8, (count + 127) / 128);
    struct TBucket {
        std::uint32_t StreamPos;
        std::uint16_t RecordOffset;
    };
    std::vector<TBucket> buckets;

    std::size_t rec = out.Begin(rtSst);
    out.U32(references);
    out.U32(static_cast<std::uint32_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        const TBiffString s = EncodeBiffString(book.Strings[i]);
        const std::size_t unit = s.Wide ? 2 : 1;
        const std::uint8_t flags = s.Wide ? 1 : 0;
        // The 3-byte header and a first character never part.
        if (out.Room(rec) < 3 + unit) {
            out.End(rec);
            rec = out.Begin(rtContinue);
        }
        if (i % perBucket == 0) {
            buckets.push_back(
                {static_cast<std::uint32_t>(out.B.size()), static_cast<std::uint16_t>(out.B.size() - rec)});
        }
        out.U16(static_cast<std::uint16_t>(s.Chars));
        out.U8(flags);
        std::size_t done = 0;
        for (;;) {
            const std::size_t take = std::min(s.Bytes.size() - done, out.Room(rec) / unit * unit);
            out.B.append(s.Bytes, done, take);
            done += take;
            if (done == s.Bytes.size()) {
                break;
            }
            // Characters go on in a CONTINUE record, which starts with their flags byte.
            out.End(rec);
            rec = out.Begin(rtContinue);
            out.U8(flags);
        }
    }
    out.End(rec);

    rec = out.Begin(rtExtSst);
    out.U16(static_cast<std::uint16_t>(perBucket));
    for (const TBucket& bucket : buckets) {
        out.U32(bucket.StreamPos);
        out.U16(bucket.RecordOffset);
        out.U16(0);
    }
    out.End(rec);
}

// ---- Globals ----

void WriteFont(TOut& out, const TFont& font, std::uint16_t color) {
    const std::size_t at = out.Begin(rtFont);
    const double twips = std::isfinite(font.Size) ? std::clamp(font.Size * 20, 20.0, 8180.0) : 200.0;
    out.U16(static_cast<std::uint16_t>(std::lround(twips)));
    // Bold lives in the weight, but readers also look at bit 0; underline likewise at bit 2.
    out.U16(static_cast<std::uint16_t>((font.Bold ? 0x01 : 0) | (font.Italic ? 0x02 : 0) | (font.Underline ? 0x04 : 0) |
                                       (font.StrikeOut ? 0x08 : 0)));
    out.U16(color);
    out.U16(font.Bold ? 700 : 400);
    out.U16(0);                      // no super- or subscript
    out.U8(font.Underline ? 1 : 0);  // single underline
    out.U8(0);                       // family
    out.U8(0);                       // character set
    out.U8(0);
    ShortString(out, font.Name.empty() ? std::string("Arial") : FirstChars(font.Name, kMaxFontNameLength));
    out.End(at);
}

}  // namespace

TBiffString EncodeBiffString(std::string_view utf8) {
    TBiffString s;
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        s.Chars = utf8.size();
        s.Bytes.assign(utf8);
        return s;
    }
    const std::u32string chars = DecodeUtf8(utf8);
    s.Wide = std::any_of(chars.begin(), chars.end(), [](char32_t c) { return c > 0xFF; });
    if (!s.Wide) {
        s.Chars = chars.size();
        s.Bytes.reserve(chars.size());
        for (const char32_t c : chars) {
            s.Bytes.push_back(static_cast<char>(c));
        }
        return s;
    }
    s.Bytes.reserve(chars.size() * 2);
    const auto unit = [&](std::uint32_t u) {
        s.Bytes.push_back(static_cast<char>(u & 0xFF));
        s.Bytes.push_back(static_cast<char>(u >> 8));
        ++s.Chars;
    };
    for (const char32_t c : chars) {
        if (c > 0xFFFF) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
    return s;
}

TBiff8Writer::TBiff8Writer(const TBookData& book, const std::vector<const TSheetData*>& sheets)
    : Book_(book), Sheets_(sheets), Formats_(std::make_unique<TFormatIds>(book)), Xfs_(std::make_unique<TXfTable>()) {
    Empty_.Name = std::string(msg::workbook::DefaultSheetName);
    if (Sheets_.empty()) {
        Sheets_.push_back(&Empty_);
    }
    // Our font 0 is the default font, the first four records; the others follow
    // from index 5.
    FontIndex_.resize(book.Fonts.size());
    for (std::size_t f = 1; f < book.Fonts.size(); ++f) {
        FontIndex_[f] = static_cast<std::uint16_t>(f + kDefaultFontRecords);
    }

    // A first pass over the cells finds the formats and XFs the globals declare,
    // and the size of each sheet, whose offset the globals give.
    std::uint32_t references = 0;
    for (const TSheetData* sheet : Sheets_) {
        std::size_t size = kSheetFixedSize;
        for (const TColumn& column : sheet->Columns) {
            if (HasColInfo(column)) {
                Xfs_->Xf(0, Formats_->Id(column.Format), 0);
                size += kColInfoSize;
            }
        }
        size += sheet->RowHeights.size() * kRowSize;
        for (const auto& row : sheet->Rows) {
            for (const TCell& cell : row) {
                Xfs_->CellXf(cell.Col, FontIndex_[cell.Font], Formats_->Id(EffectiveFormat(book, *sheet, cell)),
                             cell.Align);
                size += CellRecordSize(cell);
                references += cell.Kind == TCellKind::Text ? 1 : 0;
            }
        }
        SheetSizes_.push_back(size);
    }
    WriteGlobals(references);

    std::size_t total = Globals_.size();
    for (const std::size_t size : SheetSizes_) {
        total += size;
    }
    Padding_ = total < kMiniStreamCutoff ? kMiniStreamCutoff - total : 0;
    StreamSize_ = total + Padding_;
}

TBiff8Writer::~TBiff8Writer() = default;

void TBiff8Writer::WriteGlobals(std::uint32_t references) {
    const TBookData& book = Book_;
    const TPalette palette(book.Fonts);
    TOut out(Globals_);
    Bof(out, 0x0005);

    std::size_t at = out.Begin(rtCodePage);
    out.U16(1200);  // UTF-16
    out.End(at);

    at = out.Begin(rtWindow1);
    out.U16(0);
    out.U16(0);
    out.U16(0x4000);
    out.U16(0x2000);
    out.U16(0x0038);  // scroll bars and sheet tabs shown
    out.U16(0);       // active sheet
    out.U16(0);       // first tab shown
    out.U16(1);       // selected sheets
    out.U16(600);     // tab bar width ratio
    out.End(at);

    at = out.Begin(rtDate1904);
    out.U16(0);
    out.End(at);

    for (std::size_t i = 0; i < kDefaultFontRecords; ++i) {
        WriteFont(out, book.Fonts[0], palette.Index(book.Fonts[0]));
    }
    for (std::size_t f = 1; f < book.Fonts.size(); ++f) {
        WriteFont(out, book.Fonts[f], palette.Index(book.Fonts[f]));
    }

    for (std::size_t k = 0; k < Formats_->Records.size(); ++k) {
        at = out.Begin(rtFormat);
        out.U16(static_cast<std::uint16_t>(kFirstCustomFormat + k));
        LongString(out, book.Formats[Formats_->Records[k]]);
        out.End(at);
    }

    // The 15 style XFs every workbook carries (Normal and the outline levels), the
    // default cell XF, then ours.
    for (int i = 0; i < 15; ++i) {
        const std::uint16_t font = i == 1 || i == 2 ? 1 : i == 3 || i == 4 ? 2 : 0;
        XfRecord(out, font, 0, 0xFFF5, 0x20, i == 0 ? 0x00 : 0xF4);
    }
    XfRecord(out, 0, 0, 0x0001, 0x20, 0x00);
    for (const TXfKey& key : Xfs_->Keys) {
        XfRecord(out, key.Font, key.FormatId, 0x0001, AlignmentByte(key.Align), 0xFC);
    }

    at = out.Begin(rtStyle);
    out.U16(0x8000);  // built-in style on XF 0
    out.U8(0);        // Normal
    out.U8(0xFF);
    out.End(at);

    if (palette.Changed) {
        at = out.Begin(rtPalette);
        out.U16(static_cast<std::uint16_t>(palette.Colors.size()));
        for (const std::uint32_t color : palette.Colors) {
            out.U8(static_cast<std::uint8_t>(color >> 16));
            out.U8(static_cast<std::uint8_t>(color >> 8));
            out.U8(static_cast<std::uint8_t>(color));
            out.U8(0);
        }
        out.End(at);
    }

    std::vector<std::size_t> sheetOffsetAt;
    for (const TSheetData* sheet : Sheets_) {
        at = out.Begin(rtBoundSheet);
        sheetOffsetAt.push_back(out.B.size());
        out.U32(0);  // patched below
        out.U8(0);   // visible
        out.U8(0);   // worksheet
        ShortString(out, sheet->Name);
        out.End(at);
    }

    WriteSst(out, book, references);
    Eof(out);

    // Each sheet's BOF follows the globals and the sheets before it.
    std::size_t offset = Globals_.size();
    for (std::size_t i = 0; i < Sheets_.size(); ++i) {
        out.Patch32(sheetOffsetAt[i], static_cast<std::uint32_t>(offset));
        offset += SheetSizes_[i];
    }
}

void TBiff8Writer::Write(const TWriter& write) {
    // The sheets' offsets in the globals rely on the planned sizes: check them.
    std::size_t written = 0;
    const TWriter counted = [&](std::string_view part) {
        written += part.size();
        write(part);
    };
    counted(Globals_);
    std::string chunk;
    chunk.reserve(kChunk + (64 << 10));
    TOut out(chunk);
    for (std::size_t i = 0; i < Sheets_.size(); ++i) {
        WriteSheet(out, counted, Book_, *Sheets_[i], i == 0, *Formats_, *Xfs_, FontIndex_);
    }
    chunk.append(Padding_, '\0');
    counted(chunk);
    if (written != StreamSize_) {
        throw Error(std::string(msg::workbook::StreamSizeMismatch));
    }
}

}  // namespace tavlor::workbook::detail
