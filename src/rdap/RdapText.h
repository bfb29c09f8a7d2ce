#pragma once

#include <QJsonObject>
#include <QString>
#include <map>
#include <optional>
#include <string>

namespace brinmor {

// What the RDAP client reads in JSON answers (RFC 9083, RFC 9224), and how it writes a domain
// object for the result store.

// The bootstrap file's services: each top-level domain (lower case) and its first https base
// address, ending in "/". Nothing when the file is not a bootstrap file.
std::optional<std::map<std::string, std::string>> BootstrapBases(const QByteArray& json);

// The object in an answer body; nothing when it is not JSON or not an object.
std::optional<QJsonObject> JsonObject(const QByteArray& body);

// A domain object of that name (ASCII letter case aside).
bool IsDomainNamed(const QJsonObject& object, const std::string& name);

// The registrar's RDAP address a registry's domain object links to (rel "related", type
// application/rdap+json, https only); empty when there is none.
std::string RegistrarLink(const QJsonObject& domain);

// The domain object as text a whois user reads at a glance, UTF-8 with CR LF line ends: the
// address asked first, the name, registrar and dates, statuses, name servers and DNSSEC, then
// the contacts under their roles (the registrant first), then remarks and notices. Members
// it does not know become "key: value" lines. Control characters in strings are escaped, so
// no string starts a line of its own.
std::string RdapText(const std::string& address, const QJsonObject& domain);

} // namespace brinmor
