#pragma once
// What a command's handler works with: its words, the book and the
// services. A command is its handler, declared here, and its row in the
// table in Commands.cpp.
#include "app/Config.h"
#include "net/Http.h"
#include "cli/Terminal.h"
#include "store/Store.h"
#include "tracking/Client.h"
#include "tracking/Service.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <memory>
#include <optional>

namespace cli {
constexpr int DefaultTimeoutSeconds = 20;

struct Context {
    QCommandLineParser parser; // the command's own options added
    QString name;
    QStringList words; // after the name, as given: for a command that parses none
    bool json = false;
    int limitMs = DefaultTimeoutSeconds * 1000;
    Config cfg;
    std::shared_ptr<const TrackingService> service;
    std::unique_ptr<Store> store;
    std::unique_ptr<HttpClient> http;
    std::unique_ptr<TrackingClient> client; // after http: its requests go through it
};

extern const QCommandLineOption JsonOption;
extern const QCommandLineOption TimeoutOption;
extern const QCommandLineOption HelpOption;
extern const QCommandLineOption CompanyOption;
extern const QCommandLineOption IdOption;
extern const QCommandLineOption ForceOption;
extern const QCommandLineOption YesOption;
extern const QCommandLineOption PhoneOption;
extern const QCommandLineOption ArchivedOption;

// The book (Book.cpp): opened as the window finds it, the failure of a
// step on it, the row named by --id.
std::optional<Failed> openBook(Context &c);
Failed databaseFailed(const Store &s);
std::optional<ParcelRecord> rowById(Context &c, Failed &why);

// The handlers, each given its parsed options and the opened book.
int list(Context &c);
int query(Context &c);
int add(Context &c);
int remove(Context &c);
int refresh(Context &c);
int code(Context &c);
int picked(Context &c);
int archive(Context &c);
int unarchive(Context &c);
} // namespace cli
