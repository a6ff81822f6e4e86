#include "platform/core/SecretServiceStore.h"

#include "platform/core/Log.h"

#include <libsecret/secret.h>

#include <cstdlib>
#include <filesystem>

namespace vm {

namespace {

constexpr int kPingTimeoutMs = 2000;

const SecretSchema& schema() {
    static const SecretSchema s = {"com.velmorasoftware.velmorasdr.Secret",
                                   SECRET_SCHEMA_NONE,
                                   {{"service", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                    {"account", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                    {"generic", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                    {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
                                   0,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr};
    return s;
}

bool sessionBusNamed() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address) {
        return true;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code ec;
    return runtime && *runtime &&
           std::filesystem::exists(std::filesystem::path(runtime) / "bus", ec);
}

void logError(const char* what, GError* error) {
    log("SecretServiceStore:{}:[{}]", what, error ? error->message : "");
    if (error) {
        g_error_free(error);
    }
}

}  // namespace

std::shared_ptr<SecretServiceStore> SecretServiceStore::connect() {
    if (!sessionBusNamed()) {
        return nullptr;
    }
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!bus) {
        logError("no session bus", error);
        return nullptr;
    }
    // Ping starts the service when the bus can activate it.
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.secrets", "/org/freedesktop/secrets", "org.freedesktop.DBus.Peer",
        "Ping", nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, kPingTimeoutMs, nullptr, &error);
    g_object_unref(bus);
    if (!reply) {
        g_error_free(error);
        return nullptr;
    }
    g_variant_unref(reply);
    return std::shared_ptr<SecretServiceStore>(new SecretServiceStore());
}

std::optional<Bytes> SecretServiceStore::find(const SecretQuery& query) {
    GError* error = nullptr;
    SecretValue* value = secret_password_lookup_binary_sync(
        &schema(), nullptr, &error, "service", query.service.c_str(), "account",
        query.account.c_str(), "generic", query.generic.c_str(), nullptr);
    if (!value) {
        if (error) {
            logError("lookup failed", error);
        }
        return std::nullopt;
    }
    gsize length = 0;
    const gchar* bytes = secret_value_get(value, &length);
    Bytes data(bytes, length);
    secret_value_unref(value);
    return data;
}

int SecretServiceStore::add(const SecretQuery& query, const Bytes& data) {
    if (find(query)) {
        return kSecretDuplicateItem;
    }
    return store(query, data);
}

int SecretServiceStore::update(const SecretQuery& query, const Bytes& data) {
    if (!find(query)) {
        return kSecretItemNotFound;
    }
    return store(query, data);
}

int SecretServiceStore::store(const SecretQuery& query, const Bytes& data) {
    // Storing under the same attributes replaces the item: there is never a duplicate.
    SecretValue* value =
        secret_value_new(data.data(), static_cast<gssize>(data.size()), "application/octet-stream");
    GError* error = nullptr;
    const gboolean ok = secret_password_store_binary_sync(
        &schema(), SECRET_COLLECTION_DEFAULT, query.service.c_str(), value, nullptr, &error,
        "service", query.service.c_str(), "account", query.account.c_str(), "generic",
        query.generic.c_str(), nullptr);
    secret_value_unref(value);
    if (!ok) {
        logError("store failed", error);
        return kSecretServiceFailed;
    }
    return kSecretSuccess;
}

}  // namespace vm
