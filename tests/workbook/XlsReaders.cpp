#include "XlsReaders.h"

#include <freexl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <unistd.h>

namespace tavlor::workbook::test {

namespace fs = std::filesystem;

TTempDir::TTempDir() {
    static std::atomic<int> counter{0};
    Dir =
        fs::temp_directory_path() / ("tavlor_workbook_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(Dir);
    fs::create_directories(Dir);
}

TTempDir::~TTempDir() {
    std::error_code ignored;
    fs::remove_all(Dir, ignored);
}

std::vector<std::string> TTempDir::Files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// ---- xlrd ----

namespace {

std::string Unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            ++i;
            out.push_back(s[i] == 't' ? '\t' : s[i] == 'n' ? '\n' : s[i]);
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(Unescape(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start)));
        if (tab == std::string::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

bool Flag(const std::string& s) {
    return s == "1" || s == "True";
}

}  // namespace

const TXlrdCell& TXlrdSheet::At(int row, int col) const {
    const auto found = Cells.find({row, col});
    if (found == Cells.end()) {
        throw std::runtime_error("xlrd: no cell at row " + std::to_string(row) + ", column " + std::to_string(col));
    }
    return found->second;
}

TXlrdBook ReadWithXlrd(const std::string& path, int rowLimit) {
    const std::string script = std::string(TAVLOR_TEST_DATA_DIR) + "/../workbook/read_xls.py";
    std::string command = std::string(TAVLOR_PYTHON3) + " '" + script + "' '" + path + "'";
    if (rowLimit >= 0) {
        command += " " + std::to_string(rowLimit);
    }
    command += " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        throw std::runtime_error("cannot run " + command);
    }
    std::string output;
    char buf[65536];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) {
        output.append(buf, n);
    }
    const int status = ::pclose(pipe);
    if (status != 0) {
        throw std::runtime_error("xlrd failed:\n" + output);
    }

    TXlrdBook book;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        const std::vector<std::string> f = Fields(line);
        if (f[0] == "book" && f.size() == 6) {
            book.DateMode = std::stoi(f[2]);
            book.Xfs = std::stoi(f[3]);
            book.Fonts = std::stoi(f[4]);
            book.FormatRecords = std::stoi(f[5]);
        } else if (f[0] == "sheet" && f.size() == 5) {
            TXlrdSheet sheet;
            sheet.Name = f[2];
            sheet.Rows = std::stoi(f[3]);
            sheet.Cols = std::stoi(f[4]);
            book.Sheets.push_back(std::move(sheet));
        } else if (f[0] == "colinfo" && f.size() == 6) {
            book.Sheets.at(std::stoul(f[1])).Columns[std::stoi(f[2])] = {std::stoi(f[3]), f[4]};
        } else if (f[0] == "rowinfo" && f.size() == 6) {
            book.Sheets.at(std::stoul(f[1])).RowInfo[std::stoi(f[2])] = {std::stoi(f[3]), Flag(f[4]), Flag(f[5])};
        } else if (f[0] == "cell" && f.size() == 17) {
            TXlrdCell cell;
            cell.Type = f[4];
            cell.Value = f[5];
            cell.Format = f[6];
            cell.Bold = Flag(f[7]);
            cell.Italic = Flag(f[8]);
            cell.Underline = std::stoi(f[9]);
            cell.Struck = Flag(f[10]);
            cell.FontName = f[11];
            cell.Height = std::stoi(f[12]);
            cell.Colour = f[13];
            cell.HAlign = std::stoi(f[14]);
            cell.VAlign = std::stoi(f[15]);
            cell.Wrap = Flag(f[16]);
            book.Sheets.at(std::stoul(f[1])).Cells[{std::stoi(f[2]), std::stoi(f[3])}] = std::move(cell);
        } else {
            throw std::runtime_error("unexpected xlrd output: " + line + "\n" + output);
        }
    }
    return book;
}

// ---- FreeXL ----

TFreeXl::TFreeXl(const std::string& path) {
    const int rc = freexl_open(path.c_str(), &Handle_);
    if (rc != FREEXL_OK) {
        freexl_close(Handle_);
        Handle_ = nullptr;
        throw std::runtime_error("FreeXL cannot open " + path + ": code " + std::to_string(rc));
    }
}

TFreeXl::~TFreeXl() {
    if (Handle_ != nullptr) {
        freexl_close(Handle_);
    }
}

unsigned TFreeXl::Info(unsigned short what) const {
    unsigned info = 0;
    if (freexl_get_info(Handle_, what, &info) != FREEXL_OK) {
        throw std::runtime_error("FreeXL info " + std::to_string(what));
    }
    return info;
}

int TFreeXl::SheetCount() const {
    return static_cast<int>(Info(FREEXL_BIFF_SHEET_COUNT));
}

std::string TFreeXl::SheetName(int sheet) const {
    const char* name = nullptr;
    if (freexl_get_worksheet_name(Handle_, static_cast<unsigned short>(sheet), &name) != FREEXL_OK) {
        throw std::runtime_error("FreeXL sheet name " + std::to_string(sheet));
    }
    return name;
}

std::pair<unsigned, unsigned> TFreeXl::Select(int sheet) {
    if (freexl_select_active_worksheet(Handle_, static_cast<unsigned short>(sheet)) != FREEXL_OK) {
        throw std::runtime_error("FreeXL select " + std::to_string(sheet));
    }
    unsigned rows = 0;
    unsigned short cols = 0;
    if (freexl_worksheet_dimensions(Handle_, &rows, &cols) != FREEXL_OK) {
        throw std::runtime_error("FreeXL dimensions " + std::to_string(sheet));
    }
    return {rows, cols};
}

TFreeXlCell TFreeXl::Cell(unsigned row, unsigned col) const {
    FreeXL_CellValue value;
    const int rc = freexl_get_cell_value(Handle_, row, static_cast<unsigned short>(col), &value);
    if (rc != FREEXL_OK) {
        throw std::runtime_error("FreeXL cell " + std::to_string(row) + "," + std::to_string(col) + ": code " +
                                 std::to_string(rc));
    }
    TFreeXlCell cell;
    cell.Type = value.type;
    switch (value.type) {
        case FREEXL_CELL_INT:
            cell.Int = value.value.int_value;
            break;
        case FREEXL_CELL_DOUBLE:
            cell.Double = value.value.double_value;
            break;
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
            cell.Text = value.value.text_value;
            break;
        default:
            break;
    }
    return cell;
}

}  // namespace tavlor::workbook::test
