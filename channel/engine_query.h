// The one-shot engine queries: the engine program itself is run with a query word
// and writes a one-time answer into the installation's temp folder. Works whether
// or not the engine's service runs.
#pragma once
#include <string>

// installFolder ends with a backslash; returns the answer file's content, empty when
// the program or its answer is missing.
std::string RunEngineQuery(const std::string& word, const std::string& installFolder);
