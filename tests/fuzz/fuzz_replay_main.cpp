// Without libFuzzer: runs every input of the corpus folders given, and deterministic mutations
// of each (bytes replaced and flipped, cut, spliced), through the fuzz entry, so that the gcc
// build exercises the targets too.
#include <cstdint>
#include <cstdio>
#include <QByteArray>
#include <QDir>
#include <QFile>

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

void run(const QByteArray& input) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.constData()),
                           static_cast<size_t>(input.size()));
}

QByteArray mutated(QByteArray input, const QList<QByteArray>& seeds, Rng& rng) {
    const int edits = 1 + static_cast<int>(rng.below(8));
    for (int e = 0; e < edits && !input.isEmpty(); ++e) {
        const qsizetype at = rng.below(input.size());
        switch (rng.below(5)) {
        case 0:
            input[at] = static_cast<char>(rng.next());
            break;
        case 1:
            input[at] = static_cast<char>(input[at] ^ (1 << rng.below(8)));
            break;
        case 2:
            input.remove(at, 1 + rng.below(4));
            break;
        case 3: {
            const QByteArray& other = seeds[rng.below(seeds.size())];
            input.insert(at, other.mid(rng.below(other.size() + 1), 1 + rng.below(16)));
            break;
        }
        default:
            input.truncate(at);
            break;
        }
    }
    return input;
}

} // namespace

int main(int argc, char** argv) {
    QList<QByteArray> seeds;
    for (int i = 1; i < argc; ++i) {
        const QDir folder(QString::fromLocal8Bit(argv[i]));
        for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
            QFile file(folder.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                seeds.append(file.readAll());
        }
    }
    if (seeds.isEmpty()) {
        std::fputs("no seed inputs: give the corpus folders\n", stderr);
        return 1;
    }
    Rng rng;
    constexpr int kMutationsPerSeed = 500;
    for (const QByteArray& seed : std::as_const(seeds)) {
        run(seed);
        for (int i = 0; i < kMutationsPerSeed; ++i)
            run(mutated(seed, seeds, rng));
    }
    std::printf("replayed %lld seeds and %lld mutations\n", static_cast<long long>(seeds.size()),
                static_cast<long long>(seeds.size()) * kMutationsPerSeed);
    return 0;
}
