#include "demo_vocabulary.h"

#include <array>

namespace lumaref::demo {

namespace {

using sv = std::string_view;

constexpr sv kPhysical = "Physical, Chemical & Earth Sciences";
constexpr sv kLife = "Life Sciences";
constexpr sv kClinical = "Clinical Medicine";
constexpr sv kEngineering = "Engineering, Computing & Technology";
constexpr sv kAgriculture = "Agriculture, Biology & Environmental Sciences";
constexpr sv kSocial = "Social & Behavioral Sciences";
constexpr sv kArts = "Arts & Humanities";

// Subjects are also file names (lists/subjects/<category>.txt holds them,
// master-lists/<category>/<subject>.txt is named after them), so they hold no path separator and no full
// stop.
constexpr std::array<sv, 8> kPhysicsSubjects = {"Optics",
                                                "Applied Physics",
                                                "Condensed Matter Physics",
                                                "Nuclear Physics",
                                                "Particles and Fields",
                                                "Atomic, Molecular and Chemical Physics",
                                                "Fluids and Plasmas",
                                                "Mathematical Physics"};
constexpr std::array<sv, 14> kPhysicsTopics = {
    "Optics",          "Optical Physics",        "Photonics",
    "Quantum Optics",  "Laser Physics",          "Nonlinear Optics",
    "Physics",         "Plasma Physics",         "Acoustics",
    "Spectroscopy",    "Semiconductor Physics",  "Superconductivity",
    "Optical Society", "Low Temperature Physics"};

constexpr std::array<sv, 6> kChemistrySubjects = {"Analytical Chemistry", "Inorganic and Nuclear Chemistry",
                                                  "Organic Chemistry",    "Physical Chemistry",
                                                  "Medicinal Chemistry",  "Applied Chemistry"};
constexpr std::array<sv, 9> kChemistryTopics = {
    "Catalysis",      "Electrochemistry",    "Polymer Science", "Photochemistry",       "Chemical Physics",
    "Crystal Growth", "Molecular Structure", "Chemistry",       "Solid State Chemistry"};

constexpr std::array<sv, 5> kMathematicsSubjects = {"Pure Mathematics", "Applied Mathematics",
                                                    "Statistics and Probability", "Computational Mathematics",
                                                    "Logic"};
constexpr std::array<sv, 8> kMathematicsTopics = {
    "Algebra",       "Number Theory", "Topology",           "Differential Equations", "Numerical Analysis",
    "Combinatorics", "Geometry",      "Functional Analysis"};

constexpr std::array<sv, 6> kComputingSubjects = {
    "Artificial Intelligence", "Information Systems",       "Software Engineering",
    "Theory and Methods",      "Hardware and Architecture", "Interdisciplinary Applications"};
constexpr std::array<sv, 8> kComputingTopics = {"Machine Learning",    "Computer Vision",     "Databases",
                                                "Computer Networks",   "Cryptography",        "Robotics",
                                                "Pattern Recognition", "Computational Optics"};

constexpr std::array<sv, 7> kEngineeringSubjects = {"Electrical and Electronic Engineering",
                                                    "Mechanical Engineering",
                                                    "Civil Engineering",
                                                    "Chemical Engineering",
                                                    "Biomedical Engineering",
                                                    "Aerospace Engineering",
                                                    "Industrial Engineering"};
constexpr std::array<sv, 9> kEngineeringTopics = {
    "Optical Engineering",    "Optoelectronics", "Fiber Optics",
    "Signal Processing",      "Control Systems", "Microwave Technology",
    "Structural Engineering", "Fluid Mechanics", "Power Electronics"};

constexpr std::array<sv, 6> kMaterialsSubjects = {"Ceramics",   "Coatings and Films",
                                                  "Composites", "Biomaterials",
                                                  "Textiles",   "Characterization and Testing"};
constexpr std::array<sv, 6> kMaterialsTopics = {"Optical Materials", "Nanomaterials", "Thin Films",
                                                "Metallurgy",        "Polymers",      "Corrosion"};

constexpr std::array<sv, 10> kClinicalSubjects = {
    "Cardiology", "Oncology",  "Ophthalmology", "Neurology",  "Pediatrics",
    "Surgery",    "Radiology", "Dermatology",   "Psychiatry", "Internal Medicine"};
constexpr std::array<sv, 9> kClinicalTopics = {
    "Cardiovascular Research", "Cancer Research",      "Optometry",
    "Vision Science",          "Physiological Optics", "Clinical Neurophysiology",
    "Pediatric Surgery",       "Medical Imaging",      "Clinical Medicine"};

constexpr std::array<sv, 5> kPublicHealthSubjects = {"Epidemiology", "Environmental and Occupational Health",
                                                     "Health Policy", "Nursing", "Nutrition"};
constexpr std::array<sv, 5> kPublicHealthTopics = {"Public Health", "Community Health", "Global Health",
                                                   "Health Services Research", "Preventive Medicine"};

constexpr std::array<sv, 6> kBiologySubjects = {"Cell Biology",          "Molecular Biology",
                                                "Genetics and Heredity", "Evolutionary Biology",
                                                "Developmental Biology", "Microbiology"};
constexpr std::array<sv, 6> kBiologyTopics = {"Biology",    "Genomics", "Bioinformatics",
                                              "Biophysics", "Virology", "Systems Biology"};

constexpr std::array<sv, 4> kBiochemistrySubjects = {"Biochemistry and Molecular Biology", "Enzymology",
                                                     "Structural Biology", "Metabolism"};
constexpr std::array<sv, 5> kBiochemistryTopics = {"Biochemistry", "Proteomics", "Lipid Research",
                                                   "Biological Chemistry", "Protein Science"};

constexpr std::array<sv, 5> kNeuroscienceSubjects = {"Cognitive Neuroscience", "Neuroimaging",
                                                     "Behavioral Neuroscience", "Neuropharmacology",
                                                     "Developmental Neuroscience"};
constexpr std::array<sv, 4> kNeuroscienceTopics = {"Neuroscience", "Brain Research", "Neurophysiology",
                                                   "Neural Systems"};

constexpr std::array<sv, 4> kImmunologySubjects = {"Clinical Immunology", "Allergy", "Infectious Diseases",
                                                   "Vaccines"};
constexpr std::array<sv, 4> kImmunologyTopics = {"Immunology", "Inflammation", "Autoimmunity",
                                                 "Immunotherapy"};

constexpr std::array<sv, 5> kPharmacologySubjects = {"Pharmacology and Pharmacy", "Toxicology",
                                                     "Clinical Pharmacology", "Drug Delivery",
                                                     "Pharmaceutical Sciences"};
constexpr std::array<sv, 4> kPharmacologyTopics = {"Pharmacology", "Drug Research", "Pharmacotherapy",
                                                   "Pharmacokinetics"};

constexpr std::array<sv, 4> kEcologySubjects = {"Ecology", "Biodiversity Conservation",
                                                "Marine and Freshwater Biology", "Ornithology"};
constexpr std::array<sv, 4> kEcologyTopics = {"Ecology", "Conservation Biology", "Population Ecology",
                                              "Landscape Ecology"};

constexpr std::array<sv, 5> kEnvironmentSubjects = {"Environmental Sciences", "Water Resources",
                                                    "Environmental Engineering", "Climate Change",
                                                    "Pollution Control"};
constexpr std::array<sv, 4> kEnvironmentTopics = {"Environmental Research", "Hydrology", "Sustainability",
                                                  "Waste Management"};

constexpr std::array<sv, 5> kAgricultureSubjects = {"Agronomy", "Soil Science", "Horticulture",
                                                    "Dairy and Animal Science", "Agricultural Economics"};
constexpr std::array<sv, 4> kAgricultureTopics = {"Agriculture", "Crop Science", "Agricultural Engineering",
                                                  "Irrigation"};

constexpr std::array<sv, 3> kVeterinarySubjects = {"Veterinary Sciences", "Animal Health",
                                                   "Veterinary Surgery"};
constexpr std::array<sv, 3> kVeterinaryTopics = {"Veterinary Medicine", "Animal Physiology", "Parasitology"};

constexpr std::array<sv, 4> kPlantSubjects = {"Plant Sciences", "Botany", "Mycology", "Plant Pathology"};
constexpr std::array<sv, 3> kPlantTopics = {"Plant Physiology", "Plant Biology", "Phytochemistry"};

constexpr std::array<sv, 3> kZoologySubjects = {"Zoology", "Entomology", "Herpetology"};
constexpr std::array<sv, 3> kZoologyTopics = {"Animal Behaviour", "Comparative Physiology", "Mammalogy"};

constexpr std::array<sv, 6> kGeoSubjects = {"Geology",      "Geochemistry and Geophysics",
                                            "Mineralogy",   "Paleontology",
                                            "Oceanography", "Meteorology and Atmospheric Sciences"};
constexpr std::array<sv, 4> kGeoTopics = {"Earth Sciences", "Seismology", "Volcanology", "Geodesy"};

constexpr std::array<sv, 5> kAstronomySubjects = {"Astrophysics", "Planetary Science", "Cosmology",
                                                  "Solar Physics", "Astronomical Instrumentation"};
constexpr std::array<sv, 4> kAstronomyTopics = {"Astronomy", "Adaptive Optics", "Space Science",
                                                "Astrometry"};

constexpr std::array<sv, 4> kEnergySubjects = {"Energy and Fuels", "Renewable Energy",
                                               "Nuclear Science and Technology", "Petroleum Engineering"};
constexpr std::array<sv, 4> kEnergyTopics = {"Energy", "Solar Energy", "Power Sources", "Fuel Cells"};

constexpr std::array<sv, 5> kEconomicsSubjects = {"Economics", "Econometrics", "Development Economics",
                                                  "Finance", "Economic History"};
constexpr std::array<sv, 4> kEconomicsTopics = {"Economic Theory", "Monetary Economics", "Labor Economics",
                                                "Economic Policy"};

constexpr std::array<sv, 4> kBusinessSubjects = {"Business", "Management", "Marketing", "Accounting"};
constexpr std::array<sv, 4> kBusinessTopics = {"Operations Management", "Organizational Behavior",
                                               "Strategic Management", "Consumer Research"};

constexpr std::array<sv, 5> kPsychologySubjects = {"Clinical Psychology", "Developmental Psychology",
                                                   "Experimental Psychology", "Social Psychology",
                                                   "Applied Psychology"};
constexpr std::array<sv, 3> kPsychologyTopics = {"Psychology", "Personality", "Cognition"};

constexpr std::array<sv, 4> kEducationSubjects = {"Education and Educational Research", "Special Education",
                                                  "Higher Education", "Science Education"};
constexpr std::array<sv, 3> kEducationTopics = {"Education", "Teacher Education", "Curriculum Studies"};

constexpr std::array<sv, 3> kSociologySubjects = {"Sociology", "Demography", "Social Work"};
constexpr std::array<sv, 3> kSociologyTopics = {"Social Research", "Family Studies", "Social Policy"};

constexpr std::array<sv, 3> kPoliticsSubjects = {"Political Science", "International Relations",
                                                 "Public Administration"};
constexpr std::array<sv, 3> kPoliticsTopics = {"Politics", "Democracy", "Peace Research"};

constexpr std::array<sv, 3> kLawSubjects = {"Law", "Criminology and Penology", "International Law"};
constexpr std::array<sv, 3> kLawTopics = {"Legal Studies", "Criminal Justice", "Human Rights"};

constexpr std::array<sv, 4> kHistorySubjects = {"History", "History of Science", "Medieval History",
                                                "Archaeology"};
constexpr std::array<sv, 3> kHistoryTopics = {"Historical Research", "Modern History", "Classical Studies"};

constexpr std::array<sv, 3> kPhilosophySubjects = {"Philosophy", "Ethics", "Logic and Philosophy of Science"};
constexpr std::array<sv, 2> kPhilosophyTopics = {"Philosophical Studies", "Metaphysics"};

constexpr std::array<sv, 3> kLinguisticsSubjects = {"Linguistics", "Language and Linguistics", "Phonetics"};
constexpr std::array<sv, 3> kLinguisticsTopics = {"Semantics", "Pragmatics", "Second Language Research"};

constexpr std::array<sv, 4> kLiteratureSubjects = {"Literature", "Literary Theory and Criticism", "Poetry",
                                                   "Comparative Literature"};
constexpr std::array<sv, 2> kLiteratureTopics = {"Literary Studies", "Modern Fiction"};

constexpr std::array<sv, 5> kArtsSubjects = {"Art", "Music", "Architecture", "Film, Radio, Television",
                                             "Theater"};
constexpr std::array<sv, 3> kArtsTopics = {"Art History", "Musicology", "Visual Culture"};

constexpr std::array<sv, 2> kReligionSubjects = {"Religion", "Islamic Studies"};
constexpr std::array<sv, 2> kReligionTopics = {"Theology", "Biblical Studies"};

constexpr std::array<sv, 2> kAnthropologySubjects = {"Anthropology", "Ethnic Studies"};
constexpr std::array<sv, 2> kAnthropologyTopics = {"Material Culture", "Human Evolution"};

constexpr std::array<sv, 3> kGeographySubjects = {"Geography", "Physical Geography", "Remote Sensing"};
constexpr std::array<sv, 2> kGeographyTopics = {"Cartography", "Spatial Analysis"};

constexpr std::array<sv, 2> kLibrarySubjects = {"Information Science and Library Science", "Documentation"};
constexpr std::array<sv, 2> kLibraryTopics = {"Scientometrics", "Knowledge Organization"};

constexpr std::array<sv, 2> kCommunicationSubjects = {"Communication", "Journalism"};
constexpr std::array<sv, 2> kCommunicationTopics = {"Media Studies", "Public Relations"};

constexpr std::array<sv, 3> kWomenSubjects = {"Women's Studies", "Gender Studies", "Feminist Theory"};
constexpr std::array<sv, 2> kWomenTopics = {"Women's Health", "Gender and Society"};

constexpr std::array<sv, 5> kAreaSubjects = {"Asian Studies", "Middle Eastern Studies", "African Studies",
                                             "European Studies", "Latin American Studies"};
constexpr std::array<sv, 2> kAreaTopics = {"Area Studies", "Regional Studies"};

constexpr std::array<sv, 3> kSportSubjects = {"Sport Sciences", "Exercise Physiology", "Rehabilitation"};
constexpr std::array<sv, 2> kSportTopics = {"Sports Medicine", "Physical Activity"};

constexpr std::array<sv, 3> kDentistrySubjects = {"Dentistry", "Oral Surgery", "Orthodontics"};
constexpr std::array<sv, 2> kDentistryTopics = {"Oral Medicine", "Periodontology"};

constexpr std::array<sv, 3> kFoodSubjects = {"Food Science and Technology", "Food Chemistry",
                                             "Food Microbiology"};
constexpr std::array<sv, 2> kFoodTopics = {"Food Engineering", "Food Quality"};

constexpr std::array<sv, 3> kTelecomSubjects = {"Telecommunications", "Wireless Networks",
                                                "Optical Communications"};
constexpr std::array<sv, 3> kTelecomTopics = {"Lightwave Technology", "Communications",
                                              "Satellite Communications"};

constexpr std::array<sv, 2> kTransportSubjects = {"Transportation", "Transportation Science and Technology"};
constexpr std::array<sv, 2> kTransportTopics = {"Traffic Engineering", "Logistics"};

constexpr std::array<sv, 3> kMechanicsSubjects = {"Mechanics", "Tribology", "Thermodynamics"};
constexpr std::array<sv, 3> kMechanicsTopics = {"Solid Mechanics", "Vibration", "Heat Transfer"};

constexpr std::array<sv, 3> kNanoSubjects = {"Nanoscience and Nanotechnology", "Nanophotonics",
                                             "Nanomedicine"};
constexpr std::array<sv, 3> kNanoTopics = {"Nanotechnology", "Nano Letters", "Micro and Nano Optics"};

constexpr std::array<sv, 2> kUrbanSubjects = {"Urban Studies", "Regional and Urban Planning"};
constexpr std::array<sv, 2> kUrbanTopics = {"Urban Affairs", "Housing Studies"};

constexpr std::array<sv, 3> kHospitalitySubjects = {"Hospitality, Leisure, Sport and Tourism",
                                                    "Tourism Management", "Leisure Studies"};
constexpr std::array<sv, 2> kHospitalityTopics = {"Tourism Research", "Travel Research"};

constexpr std::array<sv, 3> kGeriatricsSubjects = {"Geriatrics and Gerontology", "Palliative Care", "Aging"};
constexpr std::array<sv, 2> kGeriatricsTopics = {"Gerontology", "Aging Research"};

template <std::size_t S, std::size_t T>
constexpr CategoryWords category(sv name, unsigned weight, const std::array<sv, S>& subjects,
                                 const std::array<sv, T>& topics, sv contents1, sv contents2) {
    return CategoryWords{name, weight, subjects, topics, contents1, contents2};
}

const std::array kCategories = {
    category("Physics", 60, kPhysicsSubjects, kPhysicsTopics, kPhysical, kEngineering),
    category("Chemistry", 55, kChemistrySubjects, kChemistryTopics, kPhysical, kLife),
    category("Mathematics", 40, kMathematicsSubjects, kMathematicsTopics, kPhysical, kEngineering),
    category("Computer Science", 50, kComputingSubjects, kComputingTopics, kEngineering, kPhysical),
    category("Engineering", 65, kEngineeringSubjects, kEngineeringTopics, kEngineering, kPhysical),
    category("Materials Science", 35, kMaterialsSubjects, kMaterialsTopics, kEngineering, kPhysical),
    category("Clinical Medicine", 90, kClinicalSubjects, kClinicalTopics, kClinical, kLife),
    category("Public Health", 25, kPublicHealthSubjects, kPublicHealthTopics, kClinical, kSocial),
    category("Biology", 40, kBiologySubjects, kBiologyTopics, kLife, kAgriculture),
    category("Biochemistry", 30, kBiochemistrySubjects, kBiochemistryTopics, kLife, kPhysical),
    category("Neuroscience", 30, kNeuroscienceSubjects, kNeuroscienceTopics, kLife, kClinical),
    category("Immunology", 20, kImmunologySubjects, kImmunologyTopics, kLife, kClinical),
    category("Pharmacology", 30, kPharmacologySubjects, kPharmacologyTopics, kLife, kClinical),
    category("Ecology", 20, kEcologySubjects, kEcologyTopics, kAgriculture, kLife),
    category("Environmental Sciences", 30, kEnvironmentSubjects, kEnvironmentTopics, kAgriculture, kPhysical),
    category("Agriculture", 25, kAgricultureSubjects, kAgricultureTopics, kAgriculture, kLife),
    category("Veterinary Sciences", 12, kVeterinarySubjects, kVeterinaryTopics, kAgriculture, kLife),
    category("Plant Sciences", 18, kPlantSubjects, kPlantTopics, kAgriculture, kLife),
    category("Zoology", 12, kZoologySubjects, kZoologyTopics, kAgriculture, kLife),
    category("Geosciences", 30, kGeoSubjects, kGeoTopics, kPhysical, kAgriculture),
    category("Astronomy and Astrophysics", 12, kAstronomySubjects, kAstronomyTopics, kPhysical, kEngineering),
    category("Energy and Fuels", 18, kEnergySubjects, kEnergyTopics, kEngineering, kPhysical),
    category("Economics", 30, kEconomicsSubjects, kEconomicsTopics, kSocial, kSocial),
    category("Business and Management", 28, kBusinessSubjects, kBusinessTopics, kSocial, kSocial),
    category("Psychology", 30, kPsychologySubjects, kPsychologyTopics, kSocial, kClinical),
    category("Education", 25, kEducationSubjects, kEducationTopics, kSocial, kSocial),
    category("Sociology", 15, kSociologySubjects, kSociologyTopics, kSocial, kSocial),
    category("Political Science", 15, kPoliticsSubjects, kPoliticsTopics, kSocial, kSocial),
    category("Law", 15, kLawSubjects, kLawTopics, kSocial, kSocial),
    category("History", 15, kHistorySubjects, kHistoryTopics, kArts, kSocial),
    category("Philosophy", 10, kPhilosophySubjects, kPhilosophyTopics, kArts, kArts),
    category("Linguistics", 12, kLinguisticsSubjects, kLinguisticsTopics, kArts, kSocial),
    category("Literature", 15, kLiteratureSubjects, kLiteratureTopics, kArts, kArts),
    category("Arts", 12, kArtsSubjects, kArtsTopics, kArts, kArts),
    category("Religion", 8, kReligionSubjects, kReligionTopics, kArts, kArts),
    category("Anthropology", 8, kAnthropologySubjects, kAnthropologyTopics, kSocial, kArts),
    category("Geography", 10, kGeographySubjects, kGeographyTopics, kSocial, kPhysical),
    category("Information Science", 8, kLibrarySubjects, kLibraryTopics, kSocial, kEngineering),
    category("Communication", 8, kCommunicationSubjects, kCommunicationTopics, kSocial, kSocial),
    category("Women's Studies", 5, kWomenSubjects, kWomenTopics, kSocial, kSocial),
    category("Area Studies", 8, kAreaSubjects, kAreaTopics, kSocial, kArts),
    category("Sport Sciences", 10, kSportSubjects, kSportTopics, kClinical, kLife),
    category("Dentistry", 10, kDentistrySubjects, kDentistryTopics, kClinical, kClinical),
    category("Food Science", 12, kFoodSubjects, kFoodTopics, kAgriculture, kLife),
    category("Telecommunications", 12, kTelecomSubjects, kTelecomTopics, kEngineering, kEngineering),
    category("Transportation", 6, kTransportSubjects, kTransportTopics, kEngineering, kSocial),
    category("Mechanics", 12, kMechanicsSubjects, kMechanicsTopics, kEngineering, kPhysical),
    category("Nanotechnology", 10, kNanoSubjects, kNanoTopics, kPhysical, kEngineering),
    category("Urban Studies", 5, kUrbanSubjects, kUrbanTopics, kSocial, kSocial),
    category("Tourism", 5, kHospitalitySubjects, kHospitalityTopics, kSocial, kSocial),
    category("Geriatrics", 6, kGeriatricsSubjects, kGeriatricsTopics, kClinical, kSocial),
};

constexpr std::array<WeightedWord, 12> kFrequencies = {{{"Monthly", 240},
                                                        {"Quarterly", 230},
                                                        {"Bimonthly", 150},
                                                        {"Semiannual", 80},
                                                        {"Tri-annual", 50},
                                                        {"Annual", 40},
                                                        {"Semimonthly", 30},
                                                        {"Biweekly", 20},
                                                        {"Weekly", 20},
                                                        {"Irregular", 15},
                                                        {"Continuous publication", 15},
                                                        {"", 110}}};

constexpr std::array<WeightedWord, 22> kTitlePatterns = {{{"Journal of {}", 220},
                                                          {"{}", 60},
                                                          {"Advances in {}", 70},
                                                          {"International Journal of {}", 100},
                                                          {"International Review of {}", 25},
                                                          {"{} Letters", 35},
                                                          {"{} Research", 45},
                                                          {"Annals of {}", 25},
                                                          {"Reviews in {}", 25},
                                                          {"{} Reports", 15},
                                                          {"Current Opinion in {}", 15},
                                                          {"Frontiers in {}", 20},
                                                          {"{}: An International Journal", 15},
                                                          {"Progress in {}", 20},
                                                          {"Transactions on {}", 15},
                                                          {"Archives of {}", 15},
                                                          {"Studies in {}", 15},
                                                          {"Applied {}", 10},
                                                          {"Research in {}", 15},
                                                          {"{} Today", 10},
                                                          {"Bulletin of {}", 10},
                                                          {"Open Journal of {}", 10}}};

constexpr std::array<sv, 16> kRegions = {"European",     "American",  "Chinese",  "Japanese",
                                         "Indian",       "Brazilian", "Iranian",  "Turkish",
                                         "Polish",       "Korean",    "Canadian", "Australian",
                                         "Scandinavian", "African",   "Asian",    "Mediterranean"};

constexpr std::array<sv, 40> kForeignTitles = {"Revue française de physique",
                                               "Revue française de géographie",
                                               "Revue française d'économie",
                                               "Revue française de science politique",
                                               "Annales de l'Institut Fourier",
                                               "Cahiers de l'optique appliquée",
                                               "Journal de mathématiques pures et appliquées",
                                               "Revue d'études comparatives",
                                               "Zeitschrift für Naturforschung",
                                               "Zeitschrift für Kristallographie",
                                               "Zeitschrift für angewandte Mathematik und Physik",
                                               "Zeitschrift für Rechtsmedizin",
                                               "Zeitschrift für Gerontologie und Geriatrie",
                                               "Zeitschrift für Pädagogik",
                                               "Zeitschrift für Wirtschaftsgeographie",
                                               "Zeitschrift für Ökologie",
                                               "Zeitschrift für Kardiologie",
                                               "Archiv für Geschichte der Philosophie",
                                               "Jahrbücher für Nationalökonomie und Statistik",
                                               "Optik: Zeitschrift für Licht- und Elektronenoptik",
                                               "Revista Española de Cardiología",
                                               "Revista de Óptica Aplicada",
                                               "Revista Mexicana de Física",
                                               "Revista Brasileira de Ciência do Solo",
                                               "Revista Latinoamericana de Psicología",
                                               "Acta Médica Portuguesa",
                                               "Química Nova",
                                               "Boletín de la Sociedad Geológica Mexicana",
                                               "Anales de Psicología",
                                               "Estudios Geográficos",
                                               "Rivista italiana di ottica",
                                               "Giornale italiano di dermatologia",
                                               "Nederlands Tijdschrift voor Geneeskunde",
                                               "Tidsskrift for Den norske legeforening",
                                               "Läkartidningen",
                                               "Przegląd Elektrotechniczny",
                                               "Časopis pro pěstování matematiky",
                                               "Türk Fizik Dergisi",
                                               "L'Année psychologique",
                                               "L'Astronomie"};

constexpr std::array<sv, 12> kArabicTitles = {
    "مجلة العلوم الفيزيائية",       "مجلة البصريات التطبيقية",   "المجلة العربية للعلوم الهندسية",
    "مجلة جامعة الملك سعود للعلوم", "مجلة الرياضيات والتطبيقات", "مجلة الكيمياء العربية",
    "المجلة الطبية السعودية",       "مجلة الدراسات الإسلامية",   "مجلة العلوم الزراعية",
    "مجلة الاقتصاد والإدارة",       "حوليات آداب عين شمس",       "مجلة اللغة العربية وآدابها"};

// Whole addresses of the big publishers, which hold most journals.
constexpr std::array<sv, 24> kPublisherAddresses = {
    "Elsevier Science Ltd, The Boulevard, Langford Lane, Kidlington, Oxford, England, OX5 1GB",
    "Elsevier Science Inc, 360 Park Ave South, New York, NY 10010-1710, USA",
    "Pergamon-Elsevier Science Ltd, The Boulevard, Langford Lane, Kidlington, Oxford, England, OX5 1GB",
    "Mosby-Elsevier, 11830 Westline Industrial Dr., St. Louis, MO 63146-3318, USA",
    "Springer, Van Godewijckstraat 30, Dordrecht, Netherlands, 3311 GZ",
    "Springer Heidelberg, Tiergartenstrasse 17, Heidelberg, Germany, D-69121",
    "Wiley, 111 River St, Hoboken, NJ 07030-5774, USA",
    "Taylor & Francis Ltd, 2-4 Park Square, Milton Park, Abingdon, Oxon, England, OX14 4RN",
    "Routledge Journals, Taylor & Francis Ltd, 2-4 Park Square, Milton Park, Abingdon, Oxon, England, OX14 "
    "4RN",
    "IEEE-Inst Electrical Electronics Engineers Inc, 445 Hoes Lane, Piscataway, NJ 08855-4141, USA",
    "Optical Soc Amer, 2010 Massachusetts Ave NW, Washington, DC 20036, USA",
    "SPIE-Soc Photo-Optical Instrumentation Engineers, 1000 20th St, Bellingham, WA 98225, USA",
    "IOP Publishing Ltd, Temple Circus, Temple Way, Bristol, England, BS1 6HG",
    "Royal Soc Chemistry, Thomas Graham House, Science Park, Milton Rd, Cambridge, England, CB4 0WF",
    "Oxford Univ Press, Great Clarendon St, Oxford, England, OX2 6DP",
    "Sage Publications Ltd, 1 Olivers Yard, 55 City Road, London, England, EC1Y 1SP",
    "MDPI, St. Alban-Anlage 66, Basel, Switzerland, CH-4052",
    "Walter De Gruyter GmbH, Genthiner Strasse 13, Berlin, Germany, D-10785",
    "Georg Thieme Verlag KG, Rudigerstr 14, Stuttgart, Germany, D-70469",
    "Karger, Allschwilerstrasse 10, Basel, Switzerland, CH-4009",
    "Lippincott Williams & Wilkins, Two Commerce Sq, 2001 Market St, Philadelphia, PA 19103, USA",
    "Emerald Group Publishing Ltd, Howard House, Wagon Lane, Bingley, W Yorkshire, England, BD16 1WA",
    "World Scientific Publ Co Pte Ltd, 5 Toh Tuck Link, Singapore, Singapore, 596224",
    "Hindawi Ltd, Adam House, 3rd Flr, 1 Fitzroy Sq, London, England, W1T 5HF"};

// Societies and universities publishing a few journals each: "<institution>, <number> <street>, <city>".
constexpr std::array<sv, 16> kInstitutions = {
    "Univ Toronto Press Inc", "Amer Physical Soc",     "Amer Chemical Soc",      "Cambridge Univ Press",
    "Polish Acad Sciences",   "Chinese Optical Soc",   "Korean Soc Med",         "Brazilian Soc Phys",
    "Univ Chicago Press",     "Indian Acad Sciences",  "Turkish Physical Soc",   "Scandinavian Univ Press",
    "Soc Francaise Physique", "Deutsche Gesellschaft", "Japan Soc Appl Physics", "Univ Tehran"};
constexpr std::array<sv, 12> kStreetNames = {
    "Main St",      "College Ave", "University Rd", "Science Park Dr", "Market St", "Rue Saint-Jacques",
    "Hauptstrasse", "Church St",   "Mill Rd",       "Station Rd",      "Park Lane", "Kings Rd"};
constexpr std::array<sv, 20> kCityLines = {
    "Toronto, ON M3H 5T8, Canada", "College Pk, MD 20740-3844, USA",  "Washington, DC 20036, USA",
    "Cambridge, England, CB2 8RU", "Warszawa, Poland, 00-927",        "Shanghai, Peoples R China, 201800",
    "Seoul, South Korea, 03080",   "Sao Paulo, Brazil, 01246-903",    "Chicago, IL 60637, USA",
    "Bangalore, India, 560080",    "Ankara, Turkey, 06100",           "Oslo, Norway, 0608",
    "Paris, France, 75005",        "Munich, Germany, D-80539",        "Tokyo, Japan, 113-8656",
    "Tehran, Iran, 14155-6455",    "St. Petersburg, Russia, 199034",  "Ft. Lauderdale, FL 33301, USA",
    "Mt. Kisco, NY 10549, USA",    "St. Gallen, Switzerland, CH-9000"};

constexpr std::array<sv, 3> kArabicPublisherAddresses = {
    "King Saud Univ, PO Box 2454, Riyadh, Saudi Arabia, 11451", "Cairo Univ, Fac Arts, Giza, Egypt, 12613",
    "Univ Jordan, Queen Rania St, Amman, Jordan, 11942"};

}  // namespace

std::span<const CategoryWords> categoryWords() { return kCategories; }

int findCategory(std::string_view name) {
    for (std::size_t i = 0; i < kCategories.size(); ++i) {
        if (kCategories[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

std::span<const WeightedWord> frequencies() { return kFrequencies; }
std::span<const WeightedWord> titlePatterns() { return kTitlePatterns; }
std::span<const std::string_view> regionalAdjectives() { return kRegions; }
std::span<const std::string_view> foreignTitles() { return kForeignTitles; }
std::span<const std::string_view> arabicTitles() { return kArabicTitles; }
std::span<const std::string_view> publisherAddresses() { return kPublisherAddresses; }
std::span<const std::string_view> institutions() { return kInstitutions; }
std::span<const std::string_view> streetNames() { return kStreetNames; }
std::span<const std::string_view> cityLines() { return kCityLines; }
std::span<const std::string_view> arabicPublisherAddresses() { return kArabicPublisherAddresses; }

}  // namespace lumaref::demo
