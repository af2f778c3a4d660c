// Store benchmark: "make <root> <count>" writes a Maildir store with <count> small messages
// in its Inbox; "read <root>" reads the class, subject, sender, dates and headers of every
// item through the object model and prints the peak memory along the way.

#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/outlook/Application.h"

namespace fs = std::filesystem;

namespace {

long PeakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int MakeStore(const fs::path& root, int count)
{
    const fs::path inbox = root / "Inbox";
    for (const char* sub : {"cur", "new", "tmp"}) fs::create_directories(inbox / sub);
    for (int i = 0; i < count; ++i) {
        char name[96];
        std::snprintf(name, sizeof name, "%d.M%06dP1Q%d.bench:2,%s", 1700000000 + i, i % 1000000, i, i % 3 ? "S" : "");
        std::ofstream out(inbox / "cur" / name, std::ios::binary);
        out << "Return-Path: <sender" << i << "@example.com>\n"
            << "Received: from mx.example.com by mail.example.org; Tue, 14 Nov 2023 22:13:20 +0000\n"
            << "From: Sender " << i << " <sender" << i << "@example.com>\n"
            << "To: Receiver <receiver@example.org>\n"
            << "Subject: =?UTF-8?Q?Message_n=C2=B0_" << i << "?=\n"
            << "Date: Tue, 14 Nov 2023 22:13:20 +0000\n"
            << "Message-ID: <" << i << "@example.com>\n"
            << "MIME-Version: 1.0\nContent-Type: text/plain; charset=utf-8\n\n"
            << "Hello, this is message " << i << ".\nIt has a few lines of text.\nRegards\n";
    }
    return 0;
}

int ReadStore(const fs::path& root)
{
    outlook::ApplicationConfig config;
    config.stores.push_back({"Mailbox", root.string(), outlook::StoreLayout::Nested});
    auto app = outlook::CreateApplication(config);
    auto items = app->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderInbox)->Items();
    const int count = items->Count();
    std::size_t checksum = 0;
    for (int i = 1; i <= count; ++i) {
        auto item = items->Item(i);
        checksum += static_cast<std::size_t>(item->Class());
        checksum += item->Subject().size() + item->SenderName().size() + item->TransportHeaders().size();
        checksum += static_cast<std::size_t>(item->SentOn() + item->ReceivedTime());
        if (i % (count / 5 > 0 ? count / 5 : 1) == 0) {
            std::printf("read %d items, peak memory %ld kB\n", i, PeakKilobytes());
        }
    }
    std::printf("items %d, checksum %zu\n", count, checksum);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "make" && argc == 4) return MakeStore(argv[2], std::stoi(argv[3]));
    if (mode == "read" && argc == 3) return ReadStore(argv[2]);
    std::fprintf(stderr, "usage: store_read_bench make <root> <count> | read <root>\n");
    return 2;
}
