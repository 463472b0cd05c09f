// tavlor-fedserver --port N [--large]
// Serves the sample federation on 127.0.0.1 until SIGINT or SIGTERM. The port
// actually bound is printed as "port N" so that a caller passing 0 can read it.

#include "fedserver/FedServer.h"
#include "fedserver/FedServerMessages.h"
#include "text/Error.h"
#include "text/Numbers.h"

#include <csignal>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include <pthread.h>

namespace fm = tavlor::msg::fedserver;

int main(int argc, char** argv) {
    std::optional<int> port;
    tavlor::fedserver::TFedServerOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--port" && i + 1 < argc) {
            const std::optional<std::int32_t> n = tavlor::text::ParseInt32(argv[++i]);
            if (!n || *n < 0 || *n > 65535) {
                std::cerr << fm::BadPort(argv[i]) << "\n" << fm::Usage;
                return 2;
            }
            port = *n;
        } else if (arg == "--large") {
            options.Large = true;
        } else if (arg == "--help" || arg == "-h") {
            std::cout << fm::Usage;
            return 0;
        } else {
            std::cerr << fm::UnknownOption(arg) << "\n" << fm::Usage;
            return 2;
        }
    }
    if (!port) {
        std::cerr << fm::Usage;
        return 2;
    }

    // The server's threads inherit this mask, so the signals reach sigwait only.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    try {
        tavlor::fedserver::TFedServer server(options);
        const int bound = server.Start(*port);
        std::cout << "port " << bound << std::endl;
        int received = 0;
        sigwait(&stop, &received);
        server.Stop();
    } catch (const tavlor::Error& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
