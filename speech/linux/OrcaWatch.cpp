// OrcaWatch.cpp: the watcher thread, with a GLib main context and an accessibility bus
// connection of its own (GIO), apart from the window's.
#include "speech/linux/OrcaWatch.h"

#include <gio/gio.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace orvanta::speech {
namespace {

constexpr std::string_view kOrcaName = "orca";
constexpr int kCallTimeoutMs = 1000;
// Besides the registry's events, the desktop is looked at again this often.
constexpr unsigned kLookAgainSeconds = 3;
constexpr const char* kRegistry = "org.a11y.atspi.Registry";
constexpr const char* kRoot = "/org/a11y/atspi/accessible/root";

// A GLib object or variant owned here.
struct Unref {
  void operator()(GVariant* value) const { g_variant_unref(value); }
  void operator()(GDBusConnection* bus) const { g_object_unref(bus); }
  void operator()(GMainContext* context) const { g_main_context_unref(context); }
  void operator()(GError* error) const { g_error_free(error); }
};
template <typename T>
using Owned = std::unique_ptr<T, Unref>;

Owned<GVariant> Call(GDBusConnection* bus, const char* name, const char* path,
                     const char* interface, const char* method, GVariant* arguments,
                     const char* replyType) {
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_sync(bus, name, path, interface, method, arguments,
                                                G_VARIANT_TYPE(replyType), G_DBUS_CALL_FLAGS_NONE,
                                                kCallTimeoutMs, nullptr, &error);
  const Owned<GError> lost(error);
  return Owned<GVariant>(reply);
}

// The accessibility bus, as GTK's own bridge finds it; null when there is none.
Owned<GDBusConnection> AccessibilityBus() {
  std::string address;
  if (const char* given = std::getenv("AT_SPI_BUS_ADDRESS"); given != nullptr) {
    address = given;
  } else {
    GError* error = nullptr;
    const Owned<GDBusConnection> session(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error));
    const Owned<GError> lost(error);
    if (!session)
      return nullptr;
    const Owned<GVariant> reply = Call(session.get(), "org.a11y.Bus", "/org/a11y/bus",
                                       "org.a11y.Bus", "GetAddress", nullptr, "(s)");
    if (!reply)
      return nullptr;
    const gchar* found = nullptr;
    g_variant_get(reply.get(), "(&s)", &found);
    address = found;
  }
  GError* error = nullptr;
  GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
      address.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &error);
  const Owned<GError> lost(error);
  return Owned<GDBusConnection>(bus);
}

// What the watcher knows of each application on the bus: whether it is Orca.
class Desktop {
 public:
  explicit Desktop(GDBusConnection* bus) : bus_(bus) {}

  bool OrcaRuns() {
    const Owned<GVariant> reply = Call(bus_, kRegistry, kRoot, "org.a11y.atspi.Accessible",
                                       "GetChildren", nullptr, "(a(so))");
    if (!reply)
      return false;
    std::map<std::string, bool> present;
    GVariantIter* children = nullptr;
    g_variant_get(reply.get(), "(a(so))", &children);
    const gchar* name = nullptr;
    const gchar* path = nullptr;
    while (g_variant_iter_next(children, "(&s&o)", &name, &path)) {
      const auto known = known_.find(name);
      present[name] = known != known_.end() ? known->second : IsOrca(name, path);
    }
    g_variant_iter_free(children);
    known_ = std::move(present);
    for (const auto& [application, orca] : known_) {
      if (orca)
        return true;
    }
    return false;
  }

 private:
  bool IsOrca(const char* name, const char* path) {
    // Never ask the game itself: its window thread may be busy, and it is not Orca.
    const Owned<GVariant> process =
        Call(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
             "GetConnectionUnixProcessID", g_variant_new("(s)", name), "(u)");
    guint32 pid = 0;
    if (process)
      g_variant_get(process.get(), "(u)", &pid);
    if (pid == static_cast<guint32>(getpid()))
      return false;
    const Owned<GVariant> reply =
        Call(bus_, name, path, "org.freedesktop.DBus.Properties", "Get",
             g_variant_new("(ss)", "org.a11y.atspi.Accessible", "Name"), "(v)");
    if (!reply)
      return false;
    GVariant* value = nullptr;
    g_variant_get(reply.get(), "(v)", &value);
    const Owned<GVariant> owned(value);
    return g_variant_is_of_type(value, G_VARIANT_TYPE_STRING) &&
           std::string_view(g_variant_get_string(value, nullptr)) == kOrcaName;
  }

  GDBusConnection* bus_;
  std::map<std::string, bool> known_;  // bus name of each application: is it Orca
};

}  // namespace

struct OrcaWatch::Shared {
  Shared() : context(g_main_context_new()) {}

  void Report(bool orca) {
    std::lock_guard lock(mutex);
    running = orca;
    looked = true;
    changed.notify_all();
  }

  Owned<GMainContext> context;
  std::mutex mutex;
  std::condition_variable changed;
  bool looked = false;
  bool running = false;
  bool stopping = false;
};

OrcaWatch::OrcaWatch() : shared_(std::make_shared<Shared>()), watcher_(&Watch, shared_) {}

OrcaWatch::~OrcaWatch() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->stopping = true;
  }
  g_main_context_wakeup(shared_->context.get());
  watcher_.join();
}

bool OrcaWatch::Running() {
  std::unique_lock lock(shared_->mutex);
  shared_->changed.wait_for(lock, kFirstLook, [this] { return shared_->looked; });
  return shared_->running;
}

void OrcaWatch::Watch(const std::shared_ptr<Shared>& shared) {
  GMainContext* context = shared->context.get();
  g_main_context_push_thread_default(context);
  // A window without the accessibility bridge cannot be read by Orca anyway.
  const char* noBridge = std::getenv("NO_AT_BRIDGE");
  const char* gtkBridge = std::getenv("GTK_A11Y");
  const bool bridged = (noBridge == nullptr || std::string_view(noBridge) != "1") &&
                       (gtkBridge == nullptr || std::string_view(gtkBridge) != "none");
  const Owned<GDBusConnection> bus(bridged ? AccessibilityBus().release() : nullptr);
  if (!bus) {
    shared->Report(false);
    g_main_context_pop_thread_default(context);
    return;
  }
  Desktop desktop(bus.get());
  auto lookAgain = [](gpointer data) -> gboolean {
    *static_cast<bool*>(data) = true;
    return G_SOURCE_CONTINUE;
  };
  bool again = true;
  const guint events = g_dbus_connection_signal_subscribe(
      bus.get(), kRegistry, "org.a11y.atspi.Event.Object", "ChildrenChanged", kRoot, nullptr,
      G_DBUS_SIGNAL_FLAGS_NONE,
      [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant*,
         gpointer data) { *static_cast<bool*>(data) = true; },
      &again, nullptr);
  GSource* tick = g_timeout_source_new_seconds(kLookAgainSeconds);
  g_source_set_callback(tick, lookAgain, &again, nullptr);
  g_source_attach(tick, context);
  for (;;) {
    {
      std::lock_guard lock(shared->mutex);
      if (shared->stopping)
        break;
    }
    if (again) {
      again = false;
      shared->Report(desktop.OrcaRuns());
    }
    g_main_context_iteration(context, TRUE);
  }
  g_source_destroy(tick);
  g_source_unref(tick);
  g_dbus_connection_signal_unsubscribe(bus.get(), events);
  g_main_context_pop_thread_default(context);
}

}  // namespace orvanta::speech
