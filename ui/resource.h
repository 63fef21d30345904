// Identifiers of the program's resources.
#pragma once
