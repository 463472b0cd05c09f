// Saving a workbook: the .xls container and the HTML page.
#include "workbook/Workbook.h"

#include "workbook/Biff8Writer.h"
#include "workbook/CompoundFile.h"
#include "workbook/FileOutput.h"
#include "workbook/HtmlWriter.h"

#include <filesystem>

namespace tavlor::workbook {

namespace {

const std::u16string kStreamName = u"Workbook";

std::string FileStem(const std::string& path) {
    const std::filesystem::path p(std::u8string(reinterpret_cast<const char8_t*>(path.data()), path.size()));
    const std::u8string stem = p.stem().u8string();
    return std::string(reinterpret_cast<const char*>(stem.data()), stem.size());
}

}  // namespace

void TWorkbook::SaveXls(const std::string& path) const {
    detail::TBiff8Writer stream(*Book_, SheetData());
    const detail::TCompoundFileParts container = detail::LayOutCompoundFile(stream.StreamSize(), kStreamName);
    detail::WriteFileReplacing(path, [&](const detail::TWriter& write) {
        write(container.Head);
        stream.Write(write);
        write(std::string(container.StreamPadding, '\0'));
        write(container.Tail);
    });
}

std::string TWorkbook::XlsBytes() const {
    detail::TBiff8Writer stream(*Book_, SheetData());
    const detail::TCompoundFileParts container = detail::LayOutCompoundFile(stream.StreamSize(), kStreamName);
    std::string bytes = container.Head;
    stream.Write([&bytes](std::string_view part) { bytes += part; });
    bytes.append(container.StreamPadding, '\0');
    bytes += container.Tail;
    return bytes;
}

void TWorkbook::SaveHtml(const std::string& path) const {
    detail::WriteFileReplacing(
        path, [&](const detail::TWriter& write) { detail::WriteHtml(*Book_, SheetData(), FileStem(path), write); });
}

std::string TWorkbook::HtmlText(const std::string& title) const {
    std::string page;
    detail::WriteHtml(*Book_, SheetData(), title, [&page](std::string_view part) { page += part; });
    return page;
}

}  // namespace tavlor::workbook
