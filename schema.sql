-- The tables of a new Database.mdb:  lumaref-convert --new Database.mdb  (or: sqlite3 Database.mdb < schema.sql)
CREATE TABLE journals (
    "Title" TEXT(255),
    "ISSN" TEXT(255),
    "E-ISSN" TEXT(255),
    "Frequently" TEXT(255),
    "IF" TEXT(255),
    "Total Cites" TEXT(255),
    "Impact Factor without Journal Self Cites" TEXT(255),
    "Q" TEXT(255),
    "Science Citation Index" BOOLEAN NOT NULL DEFAULT 0,
    "Science Citation Index Expanded" BOOLEAN NOT NULL DEFAULT 0,
    "Emerging Sources Citation Index" BOOLEAN NOT NULL DEFAULT 0,
    "Arts Humanities Citation Index" BOOLEAN NOT NULL DEFAULT 0,
    "Current_Contents1" TEXT(255),
    "Current_Contents2" TEXT(255),
    "Address" TEXT,
    "category" TEXT(255),
    "subject" TEXT(255)
);

CREATE TABLE jcr2018 (
    "Rank" INTEGER,
    "Full Journal Title" TEXT(255),
    "ISSN" TEXT(255),
    "Total Cites" TEXT(255),
    "Journal Impact Factor" TEXT(255),
    "Impact Factor without Journal Self Cites" TEXT(255)
);

CREATE TABLE JCRQ1 ("Journal Title" TEXT(255), "ISSN" TEXT(255));
CREATE TABLE JCRQ2 ("Journal Title" TEXT(255), "ISSN" TEXT(255));
CREATE TABLE JCRQ3 ("Journal Title" TEXT(255), "ISSN" TEXT(255));
CREATE TABLE JCRQ4 ("Journal Title" TEXT(255), "ISSN" TEXT(255));

-- Figures from several sources: every figure a ranking file gives (JCR, SJR, DOAJ, an institution's
-- own list), by source, year and category. Read them through the view journal_rankings. A database
-- made before these were added gains them when it is opened.
CREATE TABLE IF NOT EXISTS ranking_loads (
    "load" INTEGER NOT NULL PRIMARY KEY,
    "source" TEXT NOT NULL,
    "year" INTEGER,
    "file" TEXT,
    "loaded" TEXT
);
-- The metric and category names of a load, numbered from 1 within it.
CREATE TABLE IF NOT EXISTS ranking_names (
    "load" INTEGER NOT NULL,
    "number" INTEGER NOT NULL,
    "name" TEXT NOT NULL,
    PRIMARY KEY ("load", "number")
) WITHOUT ROWID;
-- The journals of a load, numbered from 1 within it; ISSNs in the printed form 1234-567X.
CREATE TABLE IF NOT EXISTS ranking_journals (
    "load" INTEGER NOT NULL,
    "entry" INTEGER NOT NULL,
    "issn" TEXT(9),
    "eissn" TEXT(9),
    "title" TEXT,
    PRIMARY KEY ("load", "entry")
) WITHOUT ROWID;
-- One figure: category 0 for the journal as a whole, else a name's number. A load's figures are numbered
-- from load * 4294967296 in the order of their journal, category and metric, so they are one range.
CREATE TABLE IF NOT EXISTS ranking_figures (
    "figure" INTEGER PRIMARY KEY,
    "load" INTEGER NOT NULL,
    "entry" INTEGER NOT NULL,
    "category" INTEGER NOT NULL,
    "metric" INTEGER NOT NULL,
    "value" TEXT NOT NULL
);
CREATE VIEW IF NOT EXISTS journal_rankings AS
SELECT j."issn" AS "issn", j."eissn" AS "eissn", j."title" AS "title", l."source" AS "source",
       l."year" AS "year", coalesce(c."name", '') AS "category", m."name" AS "metric", f."value" AS "value"
FROM ranking_figures f
JOIN ranking_loads l ON l."load" = f."load"
JOIN ranking_journals j ON j."load" = f."load" AND j."entry" = f."entry"
JOIN ranking_names m ON m."load" = f."load" AND m."number" = f."metric"
LEFT JOIN ranking_names c ON c."load" = f."load" AND c."number" = f."category";
