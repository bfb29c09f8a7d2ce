#include "rdap/RdapText.h"

#include "net/WhoisReferral.h"
#include "platform/AsciiText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QStringList>
#include <algorithm>
#include <set>
#include <vector>

namespace brinmor {

namespace {

using Keys = std::set<QString>;

// Control characters (C0, DEL, C1) and the Unicode line and paragraph separators.
bool IsLineBreaking(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

QString Escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\r')
            out += QLatin1String("\\r");
        else if (u == '\n')
            out += QLatin1String("\\n");
        else if (u == '\t')
            out += QLatin1String("\\t");
        else if (IsLineBreaking(u))
            out += QStringLiteral("\\u%1").arg(static_cast<int>(u), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

// A value as a reader of the JSON would read it: a string as it is, anything else as JSON.
QString Shown(const QJsonValue& value) {
    if (value.isString())
        return value.toString();
    if (value.isArray())
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    if (value.isObject())
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    const QJsonArray wrapped{value};
    QString text = QString::fromUtf8(QJsonDocument(wrapped).toJson(QJsonDocument::Compact));
    return text.mid(1, text.size() - 2);
}

QString Capitalised(const QString& word) {
    return word.isEmpty() ? word : word.left(1).toUpper() + word.mid(1);
}

class Writer {
public:
    void Line(const QString& label, const QString& value) {
        if (!value.isEmpty())
            Raw(label + QLatin1String(": ") + Escaped(value));
    }
    void Raw(const QString& line) { text_ += line + QLatin1String("\r\n"); }
    void Blank() {
        if (!text_.endsWith(QLatin1String("\r\n\r\n")))
            text_ += QLatin1String("\r\n");
    }
    // Members the renderer does not know, as "key: value".
    void Unknown(const QJsonObject& object, const Keys& known) {
        for (auto it = object.begin(); it != object.end(); ++it)
            if (!known.count(it.key()))
                Raw(Escaped(it.key()) + QLatin1String(": ") + Escaped(Shown(it.value())));
    }
    std::string Text() const { return text_.toUtf8().toStdString(); }

private:
    QString text_;
};

QJsonArray Array(const QJsonObject& object, const char* key) {
    return object.value(QLatin1String(key)).toArray();
}

QString String(const QJsonObject& object, const char* key) {
    return object.value(QLatin1String(key)).toString();
}

QString EventLabel(const QString& action) {
    if (action == QLatin1String("registration"))
        return QStringLiteral("Creation Date");
    if (action == QLatin1String("last changed"))
        return QStringLiteral("Updated Date");
    if (action == QLatin1String("expiration"))
        return QStringLiteral("Registry Expiry Date");
    return Escaped(Capitalised(action)) + QLatin1String(" Date");
}

void WriteEvents(Writer& out, const QJsonArray& events) {
    for (const QJsonValue& value : events) {
        const QJsonObject event = value.toObject();
        out.Line(EventLabel(String(event, "eventAction")), String(event, "eventDate"));
        out.Line(QStringLiteral("Event Actor"), String(event, "eventActor"));
        out.Unknown(event, {"eventAction", "eventDate", "eventActor", "links"});
    }
}

// Joins the strings of a vCard value, arrays flattened, empty parts left out.
void Flatten(const QJsonValue& value, QStringList& parts) {
    if (value.isArray()) {
        for (const QJsonValue& part : value.toArray())
            Flatten(part, parts);
    } else if (!Shown(value).isEmpty()) {
        parts << Shown(value);
    }
}

void WriteVcard(Writer& out, const QJsonArray& vcardArray) {
    static const std::map<QString, QString> kLabels = {
        {"fn", "Name"},     {"org", "Organization"}, {"email", "Email"}, {"tel", "Phone"},
        {"adr", "Address"}, {"title", "Title"},      {"role", "Role"},   {"url", "URL"},
    };
    for (const QJsonValue& value : vcardArray.at(1).toArray()) {
        const QJsonArray property = value.toArray();
        const QString name = property.at(0).toString();
        if (name == QLatin1String("version"))
            continue;
        QStringList parts;
        for (qsizetype i = 3; i < property.size(); ++i)
            Flatten(property.at(i), parts);
        const auto label = kLabels.find(name);
        out.Line(label == kLabels.end() ? Escaped(name) : label->second,
                 parts.join(QLatin1String(", ")));
    }
}

void WriteContact(Writer& out, const QString& role, const QJsonObject& entity) {
    out.Blank();
    out.Raw(Escaped(Capitalised(role)) + QLatin1Char(':'));
    out.Line(QStringLiteral("Handle"), String(entity, "handle"));
    WriteVcard(out, Array(entity, "vcardArray"));
    for (const QJsonValue& id : Array(entity, "publicIds"))
        out.Line(Escaped(String(id.toObject(), "type")), String(id.toObject(), "identifier"));
    for (const QJsonValue& status : Array(entity, "status"))
        out.Line(QStringLiteral("Status"), Shown(status));
    WriteEvents(out, Array(entity, "events"));
    for (const QJsonValue& remark : Array(entity, "remarks"))
        for (const QJsonValue& line : Array(remark.toObject(), "description"))
            out.Line(QStringLiteral("Remarks"), Shown(line));
    out.Unknown(entity, {"objectClassName", "handle", "vcardArray", "roles", "publicIds", "status",
                         "events", "entities", "links", "remarks"});
}

struct Contact {
    QString role;
    QJsonObject entity;
};

// Every entity and the entities inside it, each under each of its roles, registrant first.
void CollectContacts(const QJsonArray& entities, std::vector<Contact>& contacts) {
    for (const QJsonValue& value : entities) {
        const QJsonObject entity = value.toObject();
        for (const QJsonValue& role : Array(entity, "roles"))
            if (!role.toString().isEmpty())
                contacts.push_back({role.toString(), entity});
        CollectContacts(Array(entity, "entities"), contacts);
    }
}

QJsonObject RegistrarEntity(const QJsonObject& domain) {
    for (const QJsonValue& value : Array(domain, "entities"))
        if (Array(value.toObject(), "roles").contains(QStringLiteral("registrar")))
            return value.toObject();
    return {};
}

QString VcardName(const QJsonObject& entity) {
    for (const QJsonValue& value : Array(entity, "vcardArray").at(1).toArray())
        if (value.toArray().at(0).toString() == QLatin1String("fn"))
            return Shown(value.toArray().at(3));
    return {};
}

void WriteNotes(Writer& out, const QString& label, const QJsonArray& notes) {
    for (const QJsonValue& value : notes) {
        const QJsonObject note = value.toObject();
        out.Blank();
        out.Line(label, String(note, "title"));
        for (const QJsonValue& line : Array(note, "description"))
            out.Line(label, Shown(line));
        for (const QJsonValue& link : Array(note, "links"))
            out.Line(label, String(link.toObject(), "href"));
        out.Unknown(note, {"title", "description", "links", "type"});
    }
}

} // namespace

std::optional<std::map<std::string, std::string>> BootstrapBases(const QByteArray& json) {
    const std::optional<QJsonObject> file = JsonObject(json);
    if (!file || !file->value(QLatin1String("services")).isArray())
        return std::nullopt;
    std::map<std::string, std::string> bases;
    for (const QJsonValue& value : Array(*file, "services")) {
        const QJsonArray service = value.toArray();
        QString base;
        for (const QJsonValue& url : service.at(1).toArray()) {
            if (url.toString().startsWith(QLatin1String("https://"))) {
                base = url.toString();
                break;
            }
        }
        if (base.isEmpty())
            continue;
        if (!base.endsWith(QLatin1Char('/')))
            base += QLatin1Char('/');
        for (const QJsonValue& tld : service.at(0).toArray())
            bases.try_emplace(AsciiLowerCase(tld.toString().toStdString()), base.toStdString());
    }
    return bases;
}

std::optional<QJsonObject> JsonObject(const QByteArray& body) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

bool IsDomainNamed(const QJsonObject& object, const std::string& name) {
    return String(object, "objectClassName") == QLatin1String("domain") &&
           AsciiLowerCase(String(object, "ldhName").toStdString()) == AsciiLowerCase(name);
}

std::string RegistrarLink(const QJsonObject& domain) {
    for (const QJsonValue& value : Array(domain, "links")) {
        const QJsonObject link = value.toObject();
        const QString href = String(link, "href");
        if (String(link, "rel") == QLatin1String("related") &&
            String(link, "type") == QLatin1String("application/rdap+json") &&
            href.startsWith(QLatin1String("https://")))
            return href.toStdString();
    }
    return {};
}

std::string RdapText(const std::string& address, const QJsonObject& domain) {
    Writer out;
    out.Raw(Escaped(QString::fromUtf8(address)));
    out.Line(QStringLiteral("Domain Name"), String(domain, "ldhName"));
    const QJsonObject registrar = RegistrarEntity(domain);
    out.Line(QStringLiteral("Registrar"), VcardName(registrar));
    for (const QJsonValue& id : Array(registrar, "publicIds"))
        if (String(id.toObject(), "type") == QLatin1String("IANA Registrar ID"))
            out.Line(QStringLiteral("Registrar IANA ID"), String(id.toObject(), "identifier"));
    WriteEvents(out, Array(domain, "events"));
    for (const QJsonValue& status : Array(domain, "status"))
        out.Line(QStringLiteral("Domain Status"), Shown(status));
    for (const QJsonValue& value : Array(domain, "nameservers")) {
        const QJsonObject server = value.toObject();
        out.Line(QStringLiteral("Name Server"), String(server, "ldhName"));
        for (const QJsonValue& address : server.value(QLatin1String("ipAddresses")).toObject())
            for (const QJsonValue& ip : address.toArray())
                out.Line(QStringLiteral("Name Server IP"), Shown(ip));
        out.Unknown(server, {"objectClassName", "ldhName", "ipAddresses", "links", "handle",
                             "status", "events", "unicodeName"});
    }
    const QJsonValue secure = domain.value(QLatin1String("secureDNS"));
    if (secure.isObject()) {
        const QJsonValue signedValue = secure.toObject().value(QLatin1String("delegationSigned"));
        if (signedValue.isBool())
            out.Line(QStringLiteral("DNSSEC"), signedValue.toBool()
                                                   ? QStringLiteral("signedDelegation")
                                                   : QStringLiteral("unsigned"));
        out.Unknown(secure.toObject(), {"delegationSigned"});
    }
    // Beyond the whois-like layout: the other names, the links, then what no rule names.
    out.Line(QStringLiteral("Unicode Name"), String(domain, "unicodeName"));
    out.Line(QStringLiteral("Registry Domain ID"), String(domain, "handle"));
    for (const QJsonValue& link : Array(domain, "links"))
        out.Line(QStringLiteral("Link"), String(link.toObject(), "href"));
    out.Unknown(domain, {"objectClassName", "ldhName", "unicodeName", "handle", "events", "status",
                         "nameservers", "secureDNS", "entities", "remarks", "notices", "links"});

    std::vector<Contact> contacts;
    CollectContacts(Array(domain, "entities"), contacts);
    std::stable_partition(contacts.begin(), contacts.end(),
                          [](const Contact& c) { return c.role == QLatin1String("registrant"); });
    for (const Contact& contact : contacts)
        WriteContact(out, contact.role, contact.entity);
    WriteNotes(out, QStringLiteral("Remarks"), Array(domain, "remarks"));
    WriteNotes(out, QStringLiteral("Notice"), Array(domain, "notices"));
    return out.Text();
}

} // namespace brinmor
