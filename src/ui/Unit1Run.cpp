// The lookup run: every name of the search list, asked of the first whois server and, on a
// "Whois Server: " referral, of the server it names (or, when config.ini asks for it, of its
// top-level domain's registry and then its registrar, over whois or RDAP); each answer goes to
// the result store.
#include "net/IdWhois.h"
#include "net/RegistryLookup.h"
#include "net/WhoisReferral.h"
#include "platform/Exceptions.h"
#include "platform/ExecutableDirectory.h"
#include "platform/Path.h"
#include "platform/ResultName.h"
#include "rdap/AceName.h"
#include "rdap/RdapClient.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/WhoisFirstServer.h"
#include "widgets/Dialogs.h"
#include "widgets/ListBox.h"
#include "widgets/QtText.h"
#include "widgets/SpinEdit.h"
#include "widgets/StatusBar.h"

#include <QLineEdit>
#include <QRadioButton>
#include <filesystem>
#include <optional>

namespace brinmor {

namespace {

constexpr const char* kConnectionFailed = "Connexion impossible";

// Every LF becomes CR LF, a LF after a CR too; a lone CR stays.
std::string Normalise(const std::string& answer) {
    std::string text;
    text.reserve(answer.size() + answer.size() / 16);
    for (char c : answer) {
        if (c == '\n')
            text += '\r';
        text += c;
    }
    return text;
}

// An entry of result/ under this file name; a name the store refuses has none, so that writing
// it reports why.
bool HasStoredResult(const std::string& fileName) {
    try {
        CheckResultFileName(fileName);
    } catch (const EInOutError&) {
        return false;
    }
    std::error_code ignored;
    return std::filesystem::exists(ResultDirectory() / FileSystemPath(fileName), ignored);
}

std::map<std::string, WhoisFirstServer>& WhoisServerOverrides() {
    static std::map<std::string, WhoisFirstServer> overrides;
    return overrides;
}

// Asks the named server with the window's whois component. A failure before the connection
// stood (name, refusal, connect guard, the proxy's refusal) is EWhoisUnreachable.
std::string QueryAt(TIdWhois& whois, const std::string& host, const std::string& text) {
    const auto& overrides = WhoisServerOverrides();
    const auto found = overrides.find(host);
    const WhoisFirstServer server =
        found == overrides.end() ? WhoisFirstServer{host, kWhoisPort} : found->second;
    whois.SetHost(server.host);
    whois.SetPort(server.port);
    bool connected = false;
    whois.OnConnected = [&connected](TIdComponent&) { connected = true; };
    try {
        std::string answer = whois.QueryDomain(text);
        whois.OnConnected = nullptr;
        return answer;
    } catch (const Exception& e) {
        whois.OnConnected = nullptr;
        if (!connected)
            throw EWhoisUnreachable(e.Message());
        throw;
    }
}

// The RDAP client takes the whois component's guards, size cap and proxy.
TRdapSettings RdapSettingsOf(TIdWhois& whois) {
    const TSocksInfo& socks = whois.SocksInfo();
    TRdapSettings settings;
    settings.connectTimeout = whois.ConnectTimeout();
    settings.silenceTimeout = whois.SilenceTimeout();
    settings.queryTimeout = whois.QueryTimeout();
    settings.maxAnswerSize = IdMaxAnswerSize;
    settings.useProxy = socks.Version == svSocks5;
    settings.proxyHost = socks.Host;
    settings.proxyPort = socks.Port;
    if (socks.Authentication == saUsernamePassword) {
        settings.proxyUser = socks.UserID;
        settings.proxyPassword = socks.Password;
    }
    return settings;
}

// What one registry-aware lookup found: the text to store, and whether it may replace an
// earlier result only when there is none (a refusal).
struct RunAnswer {
    std::string text;
    bool refusal = false;
};

// Every query carries the name's A-label; the stored file keeps the name as typed. A name
// without a top-level domain is looked up as by default.
RunAnswer RegistryAnswer(TForm1& form, TRegistryLookup& registries, const std::string& name) {
    const std::string query = AceName(name);
    if (TopLevelDomain(query).empty())
        return {form.Recherche_domaine(query)};
    const std::optional<TRegistryAnswer> answer = registries.Lookup(query);
    if (!answer) {
        AppDialogs().ShowMessage(kConnectionFailed);
        return {};
    }
    return {answer->rendered ? answer->text : Normalise(answer->text), answer->refusal};
}

} // namespace

WhoisFirstServer& FirstWhoisServer() {
    static WhoisFirstServer server{kDefaultWhoisHost, kWhoisPort};
    return server;
}

void SetWhoisServerOverrides(std::map<std::string, WhoisFirstServer> overrides) {
    WhoisServerOverrides() = std::move(overrides);
}

void TForm1::Button1Click() {
    Form2->ReadIniFile();
    TSocksInfo& socks = IdWhois1->SocksInfo();
    if (Form2->RadioButton_non->isChecked()) {
        socks.Host.clear();
        socks.Port = 0;
        socks.UserID.clear();
        socks.Password.clear();
        socks.Version = svNoSocks;
    } else {
        socks.Host = FromQString(Form2->Edit_Adresse->text());
        socks.Port = Form2->Edit_Port->Value();
        socks.UserID = FromQString(Form2->Edit_login->text());
        socks.Password = FromQString(Form2->Edit_password->text());
        socks.Version = svSocks5;
        // The login the user typed is meant to be used.
        socks.Authentication = socks.UserID.empty() ? saNoAuthentication : saUsernamePassword;
    }
    // Live for this run only: IANA is asked at most once per top-level domain and run, the
    // RDAP bootstrap at most once.
    std::optional<TRdapClient> rdap;
    std::optional<TRegistryLookup> registries;
    if (Form2->WhoisRegistres == "oui") {
        rdap.emplace(RdapSettingsOf(*IdWhois1));
        registries.emplace(
            [this](const std::string& host, const std::string& text) {
                return QueryAt(*IdWhois1, host, text);
            },
            [&rdap](const std::string& name) { return rdap->Lookup(name); });
    }

    const int count = ListBox1->Count();
    for (int i = 0; i < count; ++i) {
        // The run takes no input, but it paints its progress at once.
        StatusBar1->SetSimpleText("Recherche de " + ListBox1->Item(i) + " en cours");
        StatusBar1->repaint();
        const RunAnswer answer = registries ? RegistryAnswer(*this, *registries, ListBox1->Item(i))
                                            : RunAnswer{Recherche_domaine(ListBox1->Item(i))};
        const std::string fileName = ListBox1->Item(i) + ".dns";
        // An empty answer or a refusal must not replace a good one: a failed query was shown
        // already, and a server that closes without a byte or refuses (rate limiting) has told
        // nothing about the name.
        if ((!answer.text.empty() && !answer.refusal) || !HasStoredResult(fileName))
            Enregistre_resultat(fileName, answer.text);
        Affiche_rechercher_termine();
        ListBox2->doItemsLayout();
        ListBox2->repaint();
        StatusBar1->SetSimpleText("Recherche de " + ListBox1->Item(i) + " termin\xE9");
        StatusBar1->repaint();
    }
    ListBox1->clear();
}

std::string TForm1::Recherche_domaine(const std::string& name) {
    std::string first;
    try {
        IdWhois1->SetHost(FirstWhoisServer().host);
        IdWhois1->SetPort(FirstWhoisServer().port);
        first = Normalise(IdWhois1->QueryDomain(name));
    } catch (...) {
        // Closing the box activates the main window again (widgets/OwnWindows.h).
        AppDialogs().ShowMessage(kConnectionFailed);
        return std::string();
    }

    const std::optional<std::string> server = ReferralServer(first);
    if (!server)
        return first;
    // One step only, and its errors end the run.
    IdWhois1->SetHost(*server);
    return Normalise(IdWhois1->QueryDomain(name));
}

} // namespace brinmor
