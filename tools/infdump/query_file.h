// The queries of INF query files (<case>.infq), run against an open INF.
#pragma once

#include "dumpcommon/query_reader.h"
#include "inf_dumper.h"

namespace infdump {

using dumpcommon::Query;

// Runs one query ("count", "linetext", "find", "section") and prints its
// lines; anything else prints "query bad:" with its fields.
void RunQuery(const SetupApiCalls &api, win::HINF inf, InfDumper &dumper, const Query &query);

}  // namespace infdump
