// The command-line job: the items of the command line, shredded one after another without the
// main window, after a confirmation unless the job is silent.
#pragma once

#include "engine/ItemShredder.h"
#include "engine/ShredContext.h"

#include <string>
#include <vector>

// Runs the job of the command line's items.
void RunCommandLineJob(ShredContext& context, const std::vector<std::string>& items,
                       JobActions& actions = JobShredders());
