// The message boxes of an interactive uninstallation; `product` is the
// product's key name as given on the command line.
#pragma once

#include <string>
#include <vector>

bool ConfirmUninstallation(const std::string& product);
void ShowCompleted(const std::string& product);
void ShowFailed(const std::string& product, const std::vector<std::string>& failures);
void ShowLoadFailed(const std::string& product, const std::string& reason);
