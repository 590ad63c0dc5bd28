// Without libFuzzer: replays deterministic mutations of valid archives through the fuzz entry.
#include "platform/keyed_archive.h"

#include <cstdint>
#include <cstdio>
#include <QByteArray>
#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// A fixed generator so that a failing case can be reproduced.
struct Rng {
    uint64_t state = 0x9e3779b97f4a7c15ULL;
    uint64_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    qsizetype below(qsizetype n) {
        return static_cast<qsizetype>(next() % static_cast<uint64_t>(n));
    }
};

} // namespace

int main() {
    const QList<QByteArray> seeds{
        vantrel::archiveStringList(
            {QStringLiteral("com.example.A"), QStringLiteral("b"), QStringLiteral("b")}),
        vantrel::archiveStringList({}), vantrel::archiveString(QStringLiteral("hello"))};
    Rng rng;
    constexpr int kRuns = 20000;
    for (int run = 0; run < kRuns; ++run) {
        QByteArray input = seeds[run % seeds.size()];
        const int edits = 1 + static_cast<int>(rng.below(8));
        for (int e = 0; e < edits && !input.isEmpty(); ++e) {
            const qsizetype at = rng.below(input.size());
            switch (rng.below(4)) {
            case 0:
                input[at] = static_cast<char>(rng.next());
                break;
            case 1:
                input[at] = static_cast<char>(input[at] ^ (1 << rng.below(8)));
                break;
            case 2:
                input.remove(at, 1 + rng.below(4));
                break;
            default:
                input.truncate(at);
                break;
            }
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.constData()),
                               static_cast<size_t>(input.size()));
    }
    std::printf("replayed %d inputs\n", kRuns);
    return 0;
}
