#include "platform/net/NetTypes.h"

#include <arpa/inet.h>

namespace net {

std::string NetAddress::ToString(bool withPort, char separator) const {
    char text[INET_ADDRSTRLEN] = {};
    in_addr address{};
    address.s_addr = host;
    if (!inet_ntop(AF_INET, &address, text, sizeof(text))) text[0] = '\0';
    std::string result = text;
    if (withPort) {
        result += separator;
        result += std::to_string(port);
    }
    return result;
}

}  // namespace net
