// Creating the module host's tables in a data folder, all or nothing.
//
// The tables are made complete (fields, index tags and, for demo data, their records) in a
// staging folder inside the data folder, ".dupcheck-create.XXXXXX", which is marked complete
// when they are; only then are they linked in under their names, and the staging folder goes
// last. So a table appears under its name only when it is complete. A run that is ended midway,
// however it ends, leaves its staging folder and perhaps some of the tables linked in already;
// the next run puts such leftovers right first: a staging folder whose lock no running process
// holds is removed, and when it was marked complete its other tables are linked in first, so
// the folder ends with all the tables of that run. A table in the data folder is never removed
// or replaced. On the remote server (a data set, no folder) the tables are made in place inside
// one transaction of the server, together with the data set when it is new: a run that fails
// or is ended midway leaves nothing there, and a second run on the same data set waits for the
// first one's end and then finds its tables.
#pragma once

#include <QString>

#include <functional>

class EngineConnection;

namespace HostFolder {

// Makes the folder when needed, then calls make with a connection to a staging folder, in
// which make creates the host's tables (HostSchema::all()) and closes them; they are then put
// in place. On the remote server make's connection is to the data set itself, inside its
// transaction (a table transaction cannot begin in it; the records make appends are sent in
// bulk all the same). Throws HostError when one of the tables exists in the folder already (in
// any letter case) or when the folder or its files cannot be made.
void createTables(const QString &folder, const std::function<void(EngineConnection &)> &make);

} // namespace HostFolder
