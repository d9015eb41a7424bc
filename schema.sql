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
