// A program that stores the large competition into a local base, for the
// tests that kill it half-way:
//   tavlor-base-writer <base file> <stage>
// builds the large competition in memory, opens the base, prints "ready",
// then stores the competition as number 4242 under the title "Nouvelle
// copie". At <stage> (the name of a table of the base once its rows are
// written, "COMMIT" just before the commit, or "done" once the store has
// returned) it prints "stop <stage>" and waits until its input ends, then
// goes on and ends.
#include "model/LocalBase.h"
#include "model/dbLocal.h"
#include "sample/SampleCompetition.h"
#include "sample/SampleLoader.h"

#include <unistd.h>
#include <cstdio>
#include <exception>
#include <string>

namespace {

void Stop(const std::string& stage) {
    std::printf("stop %s\n", stage.c_str());
    std::fflush(stdout);
    char c;
    while (::read(STDIN_FILENO, &c, 1) > 0) {
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fputs("usage: tavlor-base-writer <base file> <stage>\n", stderr);
        return 2;
    }
    const std::string stage = argv[2];
    try {
        tavlor::TCompetition compet;
        tavlor::TdmLocal dm(compet);
        tavlor::sample::LoadLists(tavlor::sample::MakeLargeCompetition(), compet);
        tavlor::TLocalBase base;
        base.Open(argv[1]);
        base.OnStoreStage = [&stage](std::string_view now) {
            if (now == stage) Stop(stage);
        };
        std::puts("ready");
        std::fflush(stdout);
        tavlor::TLocalCompet info;
        info.Id = 4242;
        info.Title = "Nouvelle copie";
        info.Discipline = "3Bandes";
        info.Origin = "http://127.0.0.1:8765/3bandes";
        info.Changed = 46000.0;
        base.Store(info, dm.Tables);
        if (stage == "done") Stop(stage);
    } catch (const std::exception& e) {
        std::printf("error %s\n", e.what());
        return 1;
    }
    return 0;
}
