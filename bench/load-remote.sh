#!/usr/bin/env bash
# Loads a local data folder (the benchmark's demo folder) into a new data set of the remote
# server quickly, for bench/RemoteBench.cpp: the tables are made through the engine
# (dupcheck-host --remote create) and their records streamed from the table files with the
# server's COPY, in record order, as the engine would store them (docs/ENGINE.md, "The remote
# server"). A million articles with three million bookings take a few minutes this way instead
# of the better part of two hours record by record under a loaded machine.
#   bench/load-remote.sh FOLDER DATASET      (libpq's environment names the server)
set -euo pipefail
folder="$1"
dataset="$2"
host="$(dirname "$0")/../build/bin/dupcheck-host"
"$host" --remote create "$dataset" >/dev/null

key="$(printf '%s' "$dataset" | tr '[:lower:]' '[:upper:]')"
schema="$(psql -tAc "SELECT quote_ident(schema_name) FROM dbe_catalog.datasets WHERE path_key = '$key'")"
for file in ArtikelMain.TBL Artikelsub.TBL setup.TBL; do
    src="$folder/$file"
    [ -f "$src" ] || continue
    relation="$(psql -tAc "SELECT quote_ident(relation) FROM $schema.dbe_tables WHERE name_key = upper('$file')")"
    tableno="$(psql -tAc "SELECT tableno FROM $schema.dbe_tables WHERE name_key = upper('$file')")"
    # Per field: the SQLite expression that prints the value in COPY's text form.
    columns="" exprs=""
    while IFS='|' read -r name type column ci sequence; do
        case "$type" in
        1) e="CASE WHEN \"$name\" IS NULL THEN '\\N' WHEN \"$name\" THEN 't' ELSE 'f' END" ;;
        2 | 10 | 17) e="CASE WHEN \"$name\" IS NULL THEN '\\N' ELSE printf('%.17g', \"$name\") END" ;;
        4 | 5 | 6 | 7 | 8 | 16 | 20)
            e="CASE WHEN \"$name\" IS NULL THEN '\\N' ELSE '\\\\x' || hex(\"$name\") END" ;;
        *) e="CASE WHEN \"$name\" IS NULL THEN '\\N' ELSE CAST(\"$name\" AS TEXT) END" ;;
        esac
        columns+="${columns:+, }\"$column\""
        exprs+="${exprs:+ || char(9) || }$e"
        if [ -n "$ci" ]; then
            columns+=", \"$ci\""
            exprs+=" || char(9) || CASE WHEN \"dbe_ci_$name\" IS NULL THEN '\\N' ELSE '\\\\x' || hex(\"dbe_ci_$name\") END"
        fi
    done < <(psql -tA -F '|' -c "SELECT name, type, column_name, coalesce(ci_column, ''), coalesce(sequence, '') FROM $schema.dbe_fields WHERE tableno = $tableno ORDER BY fieldno")
    sqlite3 "$src" "SELECT $exprs FROM dbe_records ORDER BY dbe_recno" |
        psql -q -c "\\copy $schema.$relation ($columns) FROM STDIN"
    # Autoincrement counters go on after the highest number stored.
    psql -tA -F '|' -c "SELECT column_name, sequence FROM $schema.dbe_fields WHERE tableno = $tableno AND sequence IS NOT NULL" |
        while IFS='|' read -r column sequence; do
            psql -qtAc "SELECT setval('$schema.\"$sequence\"', greatest(1, (SELECT max(\"$column\") FROM $schema.$relation)))" >/dev/null
        done
    psql -qc "ANALYZE $schema.$relation"
    echo "$file: $(psql -tAc "SELECT count(*) FROM $schema.$relation") Datensätze"
done
