// The benchmark program's entry: Google Benchmark's own, with what the
// report says of the server when the PostgreSQL benchmarks run (its version
// and host, and libpq's version) and where the benchmarks and the server ran
// (ORVO_PLACEMENT, from scripts/pin-apart), written into the results' context
// before any benchmark runs.

#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "bench/server.hpp"
#include "bench/site.hpp"

namespace {

// Throws when the server cannot be reached.
void DescribeServer() {
  const orvo::bench::Server server(orvo::bench::ServerDataSource());
  const char* version = PQparameterStatus(server.get(), "server_version");
  benchmark::AddCustomContext("postgresql_server", version != nullptr ? version : "unknown");
  benchmark::AddCustomContext("postgresql_host", PQhost(server.get()));
  const int client = PQlibVersion();
  benchmark::AddCustomContext(
      "libpq", std::to_string(client / 10000) + "." + std::to_string(client % 10000));
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (orvo::bench::Measured(orvo::bench::Backend::PostgreSQL)) {
    try {
      DescribeServer();
    } catch (const std::exception& error) {
      std::cerr << "orvo_bench: " << error.what() << "\n";
      return 1;
    }
  }
  if (const char* placement = std::getenv("ORVO_PLACEMENT")) {
    benchmark::AddCustomContext("placement", placement);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
