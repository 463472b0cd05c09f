#include "export/ExportFormat.h"

#include <algorithm>

namespace tavlor {

void TExportFormats::Add(std::unique_ptr<IExportFormat> format) {
    const TExportFormatId id = format->Id();
    std::erase_if(Formats_, [id](const auto& f) { return f->Id() == id; });
    Formats_.push_back(std::move(format));
}

IExportFormat* TExportFormats::Find(TExportFormatId id) const {
    const auto at = std::find_if(Formats_.begin(), Formats_.end(), [id](const auto& f) { return f->Id() == id; });
    return at == Formats_.end() ? nullptr : at->get();
}

}  // namespace tavlor
