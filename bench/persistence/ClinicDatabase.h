#pragma once

#include <QString>

namespace endomira::bench {

struct TClinicSize {
    int Patients = 20000;
    int Doctors = 200;
    int Exams = 100000;
};

// A database with a clinic's history of generated records: names built from common Brazilian
// first names and surnames, exams spread over the patients, the doctors and eighteen years.
// Created once at `path` (the folder must exist); an existing file is reused as it is.
void EnsureClinicDatabase(const QString& path, const TClinicSize& size = {});

// Makes a folder usable by the database server's own user.
void OpenFolderToServer(const QString& folder);

} // namespace endomira::bench
