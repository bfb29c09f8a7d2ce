// The lookup run: every name of the search list, asked of the first whois server and, on a
// "Whois Server: " referral, of the server it names (or, when config.ini asks for it, of its
// top-level domain's registry and then its registrar); each answer goes to the result store.
#include "net/IdWhois.h"
#include "net/RegistryLookup.h"
#include "net/WhoisReferral.h"
#include "platform/Exceptions.h"
#include "platform/ExecutableDirectory.h"
#include "platform/Path.h"
#include "platform/ResultName.h"
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

constexpr std::string_view kReferralMarker = "Whois Server: ";
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

// Asks the named server with the window's whois component.
std::string QueryAt(TIdWhois& whois, const std::string& host, const std::string& text) {
    const auto& redirects = WhoisServerRedirects();
    const auto found = redirects.find(host);
    const WhoisFirstServer server =
        found == redirects.end() ? WhoisFirstServer{host, kWhoisPort} : found->second;
    whois.SetHost(server.host);
    whois.SetPort(server.port);
    return whois.QueryDomain(text);
}

// A name without a top-level domain is looked up as by default.
std::string RegistryAnswer(TForm1& form, TRegistryLookup& registries, const std::string& name) {
    if (TopLevelDomain(name).empty())
        return form.Recherche_domaine(name);
    const std::optional<std::string> answer = registries.Lookup(name);
    if (!answer) {
        AppDialogs().ShowMessage(kConnectionFailed);
        return std::string();
    }
    return Normalise(*answer);
}

} // namespace

WhoisFirstServer& FirstWhoisServer() {
    static WhoisFirstServer server{kDefaultWhoisHost, kWhoisPort};
    return server;
}

std::map<std::string, WhoisFirstServer>& WhoisServerRedirects() {
    static std::map<std::string, WhoisFirstServer> redirects;
    return redirects;
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
    // Lives for this run only: IANA is asked at most once per top-level domain and run.
    std::optional<TRegistryLookup> registries;
    if (Form2->WhoisRegistres == "oui")
        registries.emplace([this](const std::string& host, const std::string& text) {
            return QueryAt(*IdWhois1, host, text);
        });

    const int count = ListBox1->Count();
    for (int i = 0; i < count; ++i) {
        // The run takes no input, but it paints its progress at once.
        StatusBar1->SetSimpleText("Recherche de " + ListBox1->Item(i) + " en cours");
        StatusBar1->repaint();
        const std::string answer = registries
                                       ? RegistryAnswer(*this, *registries, ListBox1->Item(i))
                                       : Recherche_domaine(ListBox1->Item(i));
        const std::string fileName = ListBox1->Item(i) + ".dns";
        // An empty answer must not replace a good one: a failed query was shown already, and a
        // server that closes without a byte (rate limiting) has told nothing.
        if (!answer.empty() || !HasStoredResult(fileName))
            Enregistre_resultat(fileName, answer);
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

    const auto marker = first.find(kReferralMarker);
    if (marker == std::string::npos)
        return first;
    const auto start = marker + kReferralMarker.size();
    const auto lineEnd = first.find('\r', marker);
    const std::string server =
        first.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);

    // One step only, and its errors end the run.
    IdWhois1->SetHost(server);
    return Normalise(IdWhois1->QueryDomain(name));
}

} // namespace brinmor
