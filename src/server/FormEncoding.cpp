#include "server/FormEncoding.h"

namespace tavlor {

std::string EncodeFormValue(std::string_view bytes) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9')) {
            out += c;
        } else if (b == ' ') {
            out += '+';
        } else {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0x0F];
        }
    }
    return out;
}

std::string FormBody(const std::vector<std::string>& fields) {
    std::string body;
    for (const std::string& field : fields) {
        const std::size_t eq = field.find('=');
        if (eq == std::string::npos) {
            body += field;
        } else {
            body += field.substr(0, eq + 1);
            body += EncodeFormValue(std::string_view(field).substr(eq + 1));
        }
        body += '&';
    }
    return body;
}

TEnvelope FindEnvelope(std::string_view reply, std::string_view open, std::string_view close) {
    const std::size_t p1 = reply.find(open);
    const std::size_t p2 = reply.find(close);
    if (p1 == std::string_view::npos || p2 == std::string_view::npos) {
        return {};
    }
    const std::size_t start = p1 + open.size();
    if (p2 <= start) {
        return {true, {}};
    }
    return {true, std::string(reply.substr(start, p2 - start))};
}

std::vector<std::string> RecordFields(std::string_view record) {
    std::vector<std::string> fields;
    std::string pending;
    for (char c : record) {
        if (c == '\b' || c == '\r') {
            fields.push_back(std::move(pending));
            pending.clear();
        } else {
            pending += c;
        }
    }
    if (!pending.empty()) {
        fields.push_back(std::move(pending));
    }
    return fields;
}

std::vector<std::string_view> DataRecords(std::string_view data) {
    std::vector<std::string_view> records;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = data.find('\n', start);
        if (end == std::string_view::npos) {
            return records;
        }
        records.push_back(data.substr(start, end - start));
        start = end + 1;
    }
}

std::vector<std::string> ReplyFields(std::string_view data) {
    std::vector<std::string> lines;
    std::string line;
    bool open = false;  // a line has started and is not yet ended
    for (std::size_t i = 0; i < data.size(); ++i) {
        const char c = data[i] == '\b' ? '\r' : data[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            open = false;
            if (c == '\r' && i + 1 < data.size() && data[i + 1] == '\n') {
                ++i;
            }
        } else {
            line += c;
            open = true;
        }
    }
    if (open) {
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace tavlor
