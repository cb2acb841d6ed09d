#include "core/base/Random.h"

#include <cstdlib>

namespace {
std::function<int()>& Source() {
    static std::function<int()> source;
    return source;
}
}  // namespace

int RandomNext() {
    std::function<int()>& source = Source();
    return source ? source() : std::rand();
}

void SetRandomSource(std::function<int()> source) { Source() = std::move(source); }
