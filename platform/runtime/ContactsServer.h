#pragma once
// The contacts server in the mail client's automation role: its application object answers
// "Version" and "GetNamespace"("MAPI"); the namespace's default contacts folder (number 10) holds
// "Items", counted by "Count" and indexed from 1; each item answers the twelve contact properties
// as text. The contacts are those of a vCard file.

#include <string_view>

#include "Automation.h"

inline constexpr const char* kMailClientProgID = "Outlook.Application";

// Registers the server under the mail client's ProgID. A new instance asks for the vCard file in a
// file-open dialog; when the user cancels, or the file cannot be read, the instance does not start.
void RegisterContactsServer();

// An application object over the contacts of vCard data.
[[nodiscard]] IDispatchPtr CreateContactsServer(std::string_view vcardData);
