// Name lookups of the crash-report mail: the MX records of a domain, the IPv4
// addresses of a mail host, and this machine's host name. The resolver is the
// system's (libresolv); tests point it at their own name server.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Outcomes of an MX query, numbered as the classic DNS API numbers them.
enum DnsStatus : int {
    DNS_OK = 0,
    DNS_SERVER_FAILURE = 9002,  // the server failed or refused
    DNS_NAME_ERROR = 9003,      // no such domain
    DNS_BAD_PACKET = 9502,      // an answer that could not be read
    DNS_NO_RECORDS = 9501,      // the domain has no MX record
    DNS_TIMEOUT = 1460,         // no answer in time, or no name server
};

// Queries the domain's MX records and appends each exchanger's host name to
// hosts in answer order (preferences are not used). Returns a DnsStatus.
int DnsQueryMx(const std::string& domain, std::vector<std::string>* hosts);

// Reads a DNS answer: the exchangers of its MX answer records, in order.
// DNS_OK, or DNS_BAD_PACKET for an answer that cannot be read, or the
// answer's own error (name error, server failure).
int ParseMxAnswer(const uint8_t* answer, size_t size, std::vector<std::string>* hosts);

// Tests send queries to one name server at address:port (an empty address
// restores the system's configuration).
void SetDnsServer(const std::string& address, uint16_t port);

// The IPv4 addresses of a host name (a dotted address gives itself), in the
// system's order; empty when it has none.
std::vector<std::string> ResolveIPv4(const std::string& host);

// This machine's host name ("localhost" when it has none).
std::string LocalHostName();

}  // namespace platform
