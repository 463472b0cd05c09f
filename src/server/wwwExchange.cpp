// The form exchange with the server.
#include "server/FormEncoding.h"
#include "server/Version.h"
#include "server/www.h"
#include "server/wwwMessages.h"
#include "text/Cp1252.h"
#include "text/Error.h"
#include "text/Numbers.h"

namespace tavlor {

namespace {

// The status line, then what the status means for the volunteer. A
// redirection's new address is given as the address box holds it, without
// the script asked, when it ends with that script.
std::string StatusText(const THttpStatusError& e, const std::string& asked) {
    std::string text = e.what();
    if (e.Status >= 500 && e.Status <= 599) {
        text += std::string("\r\n") + msg::www::ServerFailure;
    } else if (e.Status >= 400 && e.Status <= 499) {
        text += std::string("\r\n") + msg::www::RequestRefused;
    } else if (e.Status >= 300 && e.Status <= 399) {
        text += std::string("\r\n") + msg::www::AddressMoved;
        std::string address = e.Location;
        if (address.size() > asked.size() && address.compare(address.size() - asked.size(), asked.size(), asked) == 0) {
            address.resize(address.size() - asked.size());
        }
        if (!address.empty()) {
            text += "\r\n" + msg::www::NewAddress(address);
        }
    }
    return text;
}

}  // namespace

TwwwFrm::TwwwFrm(TCompetition& compet, IConnectionWindow& window, IMessageBoxes& boxes, IDesktopShell& shell)
    : Compet_(compet), Window_(window), Boxes_(boxes), Shell_(shell), Version_(GetVersion()) {}

std::string TwwwFrm::WithoutTrailingSlash(std::string url) {
    if (!url.empty() && (url.back() == '/' || url.back() == '\\')) {
        url.pop_back();
    }
    return url;
}

void TwwwFrm::SetBaseUrl(const std::string& url) {
    BaseUrl_ = WithoutTrailingSlash(url);
}

void TwwwFrm::ShowConnectionState(const std::string& state) {
    Window_.SetStatus(msg::www::StatusPrefix + state);
}

void TwwwFrm::CancelExchange() {
    Http_.Cancel();
    Boxes_.Information(msg::www::Cancelled);
    Window_.Close();
}

void TwwwFrm::StartExchange(const std::string& progress) {
    if (Http_.Busy()) {
        throw Error(msg::www::AlreadyExchanging);
    }
    Window_.SetProgress(progress);
}

TReply TwwwFrm::PostForm(const std::string& script, std::vector<std::string> fields) {
    if (Http_.Busy()) {
        // Started from an event processed while another exchange waits.
        throw Error(msg::www::AlreadyExchanging);
    }
    const std::string base = RequestBase_.value_or(BaseUrl_);
    if (!THttpTransport::IsWebAddress(base)) {
        throw Error(msg::www::NotAWebAddress(base));
    }
    Window_.HideLoginPanel();
    if (!Window_.IsVisible()) {
        Window_.ShowModeless();
    }
    struct TCloseWindow {
        IConnectionWindow& Window;
        ~TCloseWindow() { Window.Close(); }
    } close{Window_};

    fields.push_back("VTX=" + Version_);
    for (std::string& field : fields) {
        field = text::Utf8ToCp1252(field);
    }
    const std::string url = base + "/execall" + script;
    THttpTransport::THooks hooks;
    hooks.ProcessEvents = [this] { Window_.ProcessEvents(); };
    hooks.OnState = [this](const std::string& state) { ShowConnectionState(state); };
    std::string page;
    try {
        page = Http_.Post(url, FormBody(fields), hooks);
    } catch (const THttpStatusError& e) {
        throw Error(StatusText(e, "/execall" + script));
    }

    const TEnvelope data = FindEnvelope(page, "<DATAS_TX>", "</DATAS_TX>");
    const TEnvelope error = FindEnvelope(page, "<ERROR_TX>", "</ERROR_TX>");
    TReply reply;
    reply.HasData = data.Present;
    reply.Data = text::Cp1252ToUtf8(data.Text);
    reply.HasError = error.Present;
    reply.Error = text::Cp1252ToUtf8(error.Text);
    return reply;
}

double TwwwFrm::ParseDecimal(const std::string& textValue) const {
    const char other = DecimalMark == '.' ? ',' : '.';
    std::string t = textValue;
    if (const std::size_t at = t.find(other); at != std::string::npos) {
        t[at] = DecimalMark;
    }
    return text::StrToFloat(t, DecimalMark);
}

bool TwwwFrm::FillGrid(const TReply& reply, TTextGrid& grid) {
    if (!reply.HasData || reply.Data.empty()) {
        return false;
    }
    grid.SetColCount(1);
    grid.SetRowCount(1);
    grid.SetCell(0, 0, "");
    int col = 0, row = 0;
    std::string pending;
    for (char b : reply.Data) {
        if (b == '\b') {
            if (grid.ColCount() < col + 1) {
                grid.SetColCount(col + 1);
            }
            grid.SetCell(col, row, pending);
            ++col;
            pending.clear();
        } else if (b == '\n') {
            ++row;
            grid.SetRowCount(row + 1);
            col = 0;
        } else {
            pending += b;
        }
    }
    grid.SetRowCount(grid.RowCount() - 1);
    return true;
}

}  // namespace tavlor
