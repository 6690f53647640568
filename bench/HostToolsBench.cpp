// Figures for dupcheck-host's export and import of the article table, next to the sqlite3
// command line tool doing the same on the same data in the same run:
//   export: "dupcheck-host export DIR ArtikelMain --output F" against
//           "sqlite3 -csv -header TABLEFILE 'SELECT <the 32 fields> FROM dbe_records'";
//   import: "dupcheck-host import DIR ArtikelMain F" into a table just made by
//           "dupcheck-host create" against the sqlite3 tool's ".import --csv --skip 1 F t" of the
//           same file into a new database with a table of the same 32 fields and the same
//           indexes (one per tag, unique where the tag is), and once more with the indexes
//           made after the data (".import" into the bare table, then CREATE INDEX).
//
//   host_tools_bench DIR [--runs N] [--host PATH] [--sqlite3 PATH] [--scratch DIR]
//
// DIR is made by: dupcheck-host demo DIR --articles 1000000 --seed 1. Its article table is
// copied into a scratch folder first (DIR stays untouched). Each tool runs as its own process;
// the figures are the CPU time (user + system) and the peak resident memory of that process
// (wait4), so the machine's other work does not count. Ours and the reference alternate N times
// (default 3) and the fastest run of each counts. Both imports must end with as many records as
// the file has lines.
#include "schema/HostSchema.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Run {
    double cpu = 0;
    double wall = 0;
    double peakMb = 0;
    int status = -1;
};

double wallNow() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Runs the program with its standard output in outFile (or /dev/null).
Run runProcess(const std::vector<std::string> &args, const std::string &outFile = "/dev/null") {
    Run r;
    const double start = wallNow();
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            close(fd);
        }
        std::vector<char *> argv;
        for (const std::string &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    r.wall = wallNow() - start;
    r.cpu = double(usage.ru_utime.tv_sec) + double(usage.ru_utime.tv_usec) * 1e-6 +
            double(usage.ru_stime.tv_sec) + double(usage.ru_stime.tv_usec) * 1e-6;
    r.peakMb = double(usage.ru_maxrss) / 1024.0;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return r;
}

bool must(const Run &r, const char *what) {
    if (r.status == 0)
        return true;
    std::fprintf(stderr, "%s failed with status %d\n", what, r.status);
    return false;
}

std::string quoted(const std::string &name) {
    return "\"" + name + "\"";
}

std::string sqlType(uint16_t type) {
    switch (type) {
    case DB_TYPE_STRING:
    case DB_TYPE_CISTRING:
    case DB_TYPE_MEMO:
    case DB_TYPE_VARCHAR:
        return "TEXT";
    case DB_TYPE_DOUBLE:
    case DB_TYPE_CURDOUBLE:
        return "REAL";
    case DB_TYPE_BINARY:
    case DB_TYPE_IMAGE:
    case DB_TYPE_RAW:
        return "BLOB";
    default:
        return "INTEGER";
    }
}

// The reference table: the same fields.
std::string referenceTable(const HostSchema::Table &t) {
    std::string sql = "CREATE TABLE t(";
    for (size_t i = 0; i < t.fields.size(); ++i)
        sql += (i ? ", " : "") + quoted(t.fields[i].name) + " " + sqlType(t.fields[i].type);
    return sql + ");";
}

// One index per tag, unique where the tag is.
std::string referenceIndexes(const HostSchema::Table &t) {
    std::string sql;
    for (const HostSchema::Index &ix : t.indexes) {
        std::string cols;
        size_t from = 0;
        for (;;) {
            const size_t semi = ix.fields.find(';', from);
            cols += (cols.empty() ? "" : ", ") + quoted(ix.fields.substr(from, semi - from));
            if (semi == std::string::npos)
                break;
            from = semi + 1;
        }
        sql += std::string(ix.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
               quoted("ix_" + ix.tag) + " ON t(" + cols + ");";
    }
    return sql;
}

long countLines(const std::string &file) {
    FILE *f = std::fopen(file.c_str(), "rb");
    if (!f)
        return -1;
    long lines = 0;
    char buffer[1 << 16];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        lines += long(std::count(buffer, buffer + n, '\n'));
    std::fclose(f);
    return lines;
}

std::string captured(const std::vector<std::string> &args, const std::string &scratch) {
    const std::string out = scratch + "/captured.txt";
    runProcess(args, out);
    std::string text;
    if (FILE *f = std::fopen(out.c_str(), "rb")) {
        char buffer[256];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            text.append(buffer, n);
        std::fclose(f);
    }
    unlink(out.c_str());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

void removeTree(const std::string &path) {
    runProcess({"rm", "-rf", path});
}

void printPair(const char *what, const Run &ours, const Run &ref, int runs, double goal) {
    std::printf("%-7s dupcheck-host %7.2f s CPU (%6.2f s wall, peak %6.1f MB)   sqlite3 %7.2f s "
                "CPU (%6.2f s wall, peak %6.1f MB)   ratio %.2f (goal: at most %.0f), fastest "
                "of %d\n",
                what, ours.cpu, ours.wall, ours.peakMb, ref.cpu, ref.wall, ref.peakMb,
                ours.cpu / ref.cpu, goal, runs);
}

} // namespace

int main(int argc, char **argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each run as it ends, also into a file
    std::string dir, host, sqlite = "sqlite3", scratchParent = "/tmp";
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--host" && i + 1 < argc)
            host = argv[++i];
        else if (a == "--sqlite3" && i + 1 < argc)
            sqlite = argv[++i];
        else if (a == "--scratch" && i + 1 < argc)
            scratchParent = argv[++i];
        else if (dir.empty())
            dir = a;
    }
    if (host.empty()) {
        // Beside this program's folder: build/bin/dupcheck-host.
        char self[4096] = {};
        const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
        std::string path(self, n > 0 ? size_t(n) : 0);
        path = path.substr(0, path.rfind('/'));
        path = path.substr(0, path.rfind('/'));
        host = path + "/bin/dupcheck-host";
    }
    const HostSchema::Table &articles = HostSchema::articles();
    const std::string table = dir + "/" + articles.fileName;
    struct stat st {};
    if (dir.empty() || stat(table.c_str(), &st) != 0) {
        std::fprintf(stderr, "usage: host_tools_bench DIR [--runs N] [--host PATH] [--sqlite3 "
                             "PATH] [--scratch DIR]\n"
                             "  DIR made by: dupcheck-host demo DIR --articles 1000000 --seed 1\n");
        return 1;
    }
    std::string scratch = scratchParent + "/host-tools-bench.XXXXXX";
    if (!mkdtemp(scratch.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string source = scratch + "/quelle";
    mkdir(source.c_str(), 0755);
    if (!must(runProcess({"cp", table, source + "/" + articles.fileName}), "copying the table"))
        return 1;
    const std::string version = captured({sqlite, "--version"}, scratch);
    std::printf("data: %s (%s), %.0f MB; dupcheck-host %s; sqlite3 %s\n", table.c_str(),
                articles.fileName.c_str(), double(st.st_size) / 1048576.0, host.c_str(),
                version.substr(0, version.find(' ')).c_str());

    std::string select = "SELECT ";
    for (size_t i = 0; i < articles.fields.size(); ++i)
        select += (i ? ", " : "") + quoted(articles.fields[i].name);
    select += " FROM dbe_records";
    const std::string createTable = referenceTable(articles);
    const std::string indexes = referenceIndexes(articles);
    const std::string ours = scratch + "/ours.csv";
    const std::string reference = scratch + "/reference.csv";

    Run bestExport, bestExportRef, bestImport, bestImportRef, bestImportLate;
    bestExport.cpu = bestExportRef.cpu = bestImport.cpu = bestImportRef.cpu = bestImportLate.cpu =
        1e30;
    long records = 0;
    auto keep = [](Run &best, const Run &r) {
        if (r.cpu < best.cpu)
            best = r;
    };
    for (int run = 1; run <= runs; ++run) {
        const Run e = runProcess({host, "export", source, "ArtikelMain", "--output", ours});
        if (!must(e, "dupcheck-host export"))
            return 2;
        const Run er = runProcess(
            {sqlite, "-csv", "-header", "-readonly", source + "/" + articles.fileName, select},
            reference);
        if (!must(er, "sqlite3 -csv"))
            return 2;
        records = countLines(ours) - 1;
        std::printf("run %d: export  %7.2f s CPU  reference %7.2f s CPU  (%ld records)\n", run,
                    e.cpu, er.cpu, records);

        const std::string target = scratch + "/ziel";
        removeTree(target);
        if (!must(runProcess({host, "create", target}), "dupcheck-host create"))
            return 2;
        const Run i = runProcess({host, "import", target, "ArtikelMain", ours});
        if (!must(i, "dupcheck-host import"))
            return 2;
        const std::string count = captured({sqlite, "-readonly", target + "/" + articles.fileName,
                                            "SELECT count(*) FROM dbe_records"},
                                           scratch);
        const std::string refDb = scratch + "/reference.db";
        unlink(refDb.c_str());
        if (!must(runProcess({sqlite, refDb, createTable + indexes}), "sqlite3 schema"))
            return 2;
        const Run ir = runProcess({sqlite, refDb, ".import --csv --skip 1 " + ours + " t"});
        if (!must(ir, "sqlite3 .import"))
            return 2;
        const std::string refCount =
            captured({sqlite, "-readonly", refDb, "SELECT count(*) FROM t"}, scratch);
        unlink(refDb.c_str());
        // The same with the indexes made after the data, as the engine's bulk load does.
        if (!must(runProcess({sqlite, refDb, createTable}), "sqlite3 schema"))
            return 2;
        const Run il =
            runProcess({sqlite, refDb, "-cmd", ".import --csv --skip 1 " + ours + " t", indexes});
        if (!must(il, "sqlite3 .import, then the indexes"))
            return 2;
        const std::string lateCount =
            captured({sqlite, "-readonly", refDb, "SELECT count(*) FROM t"}, scratch);
        unlink(refDb.c_str());
        std::printf("run %d: import  %7.2f s CPU  reference %7.2f s CPU, with the indexes "
                    "made after the data %7.2f s CPU  (records: %s, reference %s, %s)\n",
                    run, i.cpu, ir.cpu, il.cpu, count.c_str(), refCount.c_str(), lateCount.c_str());
        if (count != std::to_string(records) || refCount != std::to_string(records) ||
            lateCount != std::to_string(records)) {
            std::fprintf(stderr, "the imports do not hold the %ld records of the file\n", records);
            return 5;
        }
        keep(bestExport, e);
        keep(bestExportRef, er);
        keep(bestImport, i);
        keep(bestImportRef, ir);
        keep(bestImportLate, il);
    }
    std::printf("\n%ld records of 32 fields, file %.0f MB\n", records,
                double([&] {
                    struct stat s {};
                    stat(ours.c_str(), &s);
                    return s.st_size;
                }()) /
                    1048576.0);
    printPair("export", bestExport, bestExportRef, runs, 2);
    printPair("import", bestImport, bestImportRef, runs, 2);
    std::printf("import against the sqlite3 tool's .import into the table without indexes and "
                "the %zu indexes made after it: %.2f s CPU, ratio %.2f\n",
                articles.indexes.size(), bestImportLate.cpu, bestImport.cpu / bestImportLate.cpu);
    std::printf("import peak memory %.1f MB (goal: at most 100 MB whatever the file's size)\n",
                bestImport.peakMb);
    removeTree(scratch);
    return 0;
}
