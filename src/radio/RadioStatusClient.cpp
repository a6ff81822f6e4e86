// "client" status lines: the GUI clients the radio serves, kept in `guiClients`. Each line builds a
// new Client record that replaces the one of the same handle, so a holder of the old record keeps
// the old values.
#include "platform/core/Log.h"
#include "platform/core/NotificationCenter.h"
#include "radio/Client.h"
#include "radio/Radio.h"
#include "radio/RadioRecordTables.h"

#include <algorithm>

namespace vm {

const RecordTable<Client>& clientRecordTable() {
    static const RecordTable<Client> table{
        "Radio:parseClientToken:Unrecognized token:[{key}] stringVal:[{value}]",
        {
            {"forced", field<&Client::forced>},
            {"wan_validation_failed", field<&Client::wanValidationFailed>},
            {"local_ptt", field<&Client::localPtt>},
            {"client_id", field<&Client::clientId>},
            {"duplicate_client_id", field<&Client::duplicateClientId>},
            {"program", field<&Client::program>},
            {"station", field<&Client::station>},
        }};
    return table;
}

namespace {

void logClients(const Radio& radio, const std::vector<std::shared_ptr<Client>>& clients) {
    const auto instance = radio.radioInstance();
    log("parseClientToken:radio:                [{}]",
        instance && instance->name ? *instance->name : std::string());
    for (const auto& client : clients) {
        log("parseClientToken:clientHandle:         [{}]", client->clientHandle.value_or(""));
        log("parseClientToken:clientStatus:         [{}]", client->clientStatus.value_or(""));
        log("parseClientToken:clientId:             [{}]", client->clientId.value_or(""));
        log("parseClientToken:program:              [{}]", client->program.value_or(""));
        log("parseClientToken:station:              [{}]", client->station.value_or(""));
        log("parseClientToken:forced:               [{}]", int(client->forced));
        log("parseClientToken:wanValidationFailed:  [{}]", int(client->wanValidationFailed));
        log("parseClientToken:duplicateclientId:    [{}]", int(client->duplicateClientId));
        log("parseClientToken:localPtt:             [{}]", int(client->localPtt));
    }
    log("parseClientToken:--------------------------------");
}

}  // namespace

// "<handle> <connected|disconnected> key=value ...", on the session's queue. The lookup and the
// change of the list happen under one hold of its lock.
void Radio::parseClientToken(Scanner& scan) {
    const std::string handle = recordIdentifier(scan);
    if (handle.empty()) {
        log("parseClientToken:no client handle");
        return;
    }
    const std::string status = recordIdentifier(scan);
    if (status.empty()) {
        log("parseClientToken:no client status");
        return;
    }
    auto client = std::make_shared<Client>();
    client->clientHandle = handle;
    client->clientStatus = status;
    clientRecordTable().read(*client, scan);

    const bool connected = status == "connected";
    const bool disconnected = status == "disconnected";
    std::vector<std::shared_ptr<Client>> clients;
    guiClients()->with([&](auto& list) {
        const auto known = std::find_if(list.begin(), list.end(), [&](const auto& entry) {
            return entry && sameGuiClient(*entry, *client);
        });
        if (connected && known != list.end()) {
            if (debugLogLevel() >= 2) {
                log("parseClientToken:updating client {}", handle);
            }
            *known = client;
        } else if (connected) {
            log("parseClientToken:adding client {}", handle);
            list.push_back(client);
        } else if (disconnected && known != list.end()) {
            log("parseClientToken:removing disconnected client {}", handle);
            list.erase(known);
        } else if (disconnected) {
            log("parseClientToken:disconnected client {}", handle);
        } else {
            log("parseClientToken:clientStatusToken:         [{}] ???", status);
        }
        clients = list;
    });
    if (debugLogLevel() >= 2) {
        logClients(*this, clients);
    }
    // Posted on this queue; observers that touch the windows move to the main queue themselves.
    if (const auto instance = radioInstance(); instance && instance->supportsMultiDoro) {
        NotificationCenter::defaultCenter().post(
            "com.velmorasoftware.doro.available_client_list_changed", shared_from_this());
    }
}

}  // namespace vm
