// oa-cli trust: lists, adds and removes the servers whose own certificate the home trusts.
#include <filesystem>
#include <iostream>
#include <string>

#include "cli/Command.h"
#include "core/platform/AppPaths.h"
#include "core/session/TrustPlist.h"
#include "core/transport/CertificatePins.h"
#include "core/transport/CertificateProbe.h"

namespace oa::cli {
namespace {

constexpr const char* kUsage =
    "[--home DIR] list | add HOST:PORT [--yes] | remove HOST:PORT\n"
    "      add fetches the certificate of https://HOST:PORT (a TLS handshake, nothing sent),\n"
    "      prints its subject, dates and public-key fingerprint and trusts that key after\n"
    "      \"yes\" on standard input (or at once with --yes); remove forgets the server.";

// "HOST:PORT" as the transport keys it; empty when it is not one.
std::string hostPortOf(const std::string& text) {
    if (text.find("://") != std::string::npos || text.find('/') != std::string::npos ||
        text.rfind(':') == std::string::npos || text.back() == ':') {
        return {};
    }
    return CertificatePins::hostPortOf("https://" + text + "/");
}

int list() {
    TrustPlist store;
    const auto servers = store.list();
    std::cout << "trusted servers: " << store.filePath().string() << "\n";
    if (servers.empty()) {
        std::cout << "  (none)\n";
    }
    for (const auto& server : servers) {
        std::cout << "  " << server.hostPort << "  " << server.subject << "\n    SHA-256 "
                  << server.fingerprint() << "\n";
    }
    return 0;
}

int add(const std::string& hostPort, bool yes) {
    std::string why;
    const auto certificate = CertificateProbe::fetch("https://" + hostPort + "/", &why);
    if (!certificate) {
        return fail("trust: cannot fetch the certificate of " + hostPort + ": " + why);
    }
    TrustPlist store;
    const auto previous = store.find(hostPort);
    std::cout << "server:     " << hostPort << "\nsubject:    " << certificate->subject
              << "\nissuer:     " << certificate->issuer
              << "\nvalid:      " << certificate->notBefore << " to " << certificate->notAfter
              << "\nSHA-256:    " << certificate->fingerprint() << "\n";
    if (previous && previous->pin == certificate->pin()) {
        std::cout << "already trusted\n";
        return 0;
    }
    if (previous) {
        std::cout << "replaces the key trusted so far, SHA-256 " << previous->fingerprint() << "\n";
    }
    if (!yes) {
        std::cout << "trust this certificate? type yes: " << std::flush;
        std::string answer;
        if (!std::getline(std::cin, answer) || answer != "yes") {
            std::cout << "not trusted\n";
            return 1;
        }
    }
    if (!store.trust({hostPort, certificate->pin(), certificate->subject})) {
        return fail("trust: cannot write " + store.filePath().string());
    }
    std::cout << "trusted\n";
    return 0;
}

int run(const Args& given) {
    Args args = given;
    std::string home;
    if (takeOption(args, "--home", home)) {
        if (home.empty()) {
            return fail("trust: --home needs a folder");
        }
        AppPaths::setCurrent(AppPaths::resolve(std::filesystem::path(home)));
    }
    const bool yes = takeFlag(args, "--yes");
    if (args.size() == 1 && args[0] == "list") {
        return list();
    }
    if (args.size() == 2 && (args[0] == "add" || args[0] == "remove")) {
        const std::string hostPort = hostPortOf(args[1]);
        if (hostPort.empty()) {
            return fail("trust: expected HOST:PORT, got \"" + args[1] + "\"");
        }
        if (args[0] == "add") {
            return add(hostPort, yes);
        }
        if (!TrustPlist().remove(hostPort)) {
            return fail("trust: " + hostPort + " is not trusted");
        }
        std::cout << "removed " << hostPort << "\n";
        return 0;
    }
    return fail(std::string("trust: usage: oa-cli trust ") + kUsage);
}

}  // namespace

OA_CLI_COMMAND("trust", kUsage, run);

}  // namespace oa::cli
