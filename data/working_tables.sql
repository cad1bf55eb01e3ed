-- Korventa 0601 working tables (SQLite, temp schema).
--
-- The working set of the declaration being edited belongs to one connection: every connection
-- creates these tables in its private temp schema when it opens the database file, so programs
-- sharing the file never see each other's working rows and a connection that ends (or a process
-- that dies) leaves none behind. Unqualified names find the temp tables first. The file itself
-- has none of them: the first save of a declaration on a file of the earlier layout drops the
-- shared working tables it still has.
--
-- Working tables (TEMP*, TMP*) hold the one declaration being edited. Where they mirror a stored
-- table they start with its columns in the same order (cNumero included) and append their own
-- working and display columns after them. Statements are idempotent.

-- The working set of a declaration of 10,000 workers is some tens of megabytes, read and
-- rewritten many times while it is open: a page cache of 128 MB keeps it in memory, and a larger
-- one spills to a temporary file (deleted by the system when the program ends) rather than
-- growing without bound. As fast as a temp schema kept wholly in memory, with the memory of the
-- earlier shared tables. Set before any temp table exists (changing temp_store drops them).
PRAGMA temp_store = FILE;
PRAGMA temp.cache_size = -131072;

-- One row per worker and pensioner of the open declaration: the columns of F601_TRAB
-- followed by display and registry columns (name, birth date, document short name, +Vida and
-- 'Asegura tu pensión' amounts, EPS, account, registration and removal dates).
CREATE TEMP TABLE IF NOT EXISTS TEMP1_F601 (
    Tip_doc_d       INTEGER,
    doc_id_d        TEXT,
    Correl_a        INTEGER,
    periodo         TEXT,
    formulario      TEXT,
    cod_cat_tra     INTEGER,
    tip_doc_a       INTEGER,
    doc_id_a        TEXT,
    Situac          TEXT,
    Tipo            TEXT,
    dias_lab        TEXT,
    dias_no_lab     TEXT,
    dias_sub        TEXT,
    horas_nor       TEXT,
    horas_sob       TEXT,
    Tot_Ingresos    TEXT,
    AportDes        TEXT,
    NetoPagar       TEXT,
    AportEmp        TEXT,
    Ingresos        TEXT,
    Ing_Asig        TEXT,
    Ing_Bonif       TEXT,
    Ing_Gratif      TEXT,
    Ing_Indemniz    TEXT,
    Ing_publico     TEXT,
    Desc_Trab       TEXT,
    Otros_Concep    TEXT,
    Aport_TrabPens  TEXT,
    Concep_Varios   TEXT,
    rem_afecta      TEXT,
    tributo         TEXT,
    rem_20530       TEXT,
    trib_20530      TEXT,
    ipss_vida       TEXT,
    pension         INTEGER,
    rem_pens        TEXT,
    pens            TEXT,
    tipo_pago       TEXT,
    ind_quinta      TEXT,
    ind_domicilio   TEXT,
    rem_salud       TEXT,
    salud           TEXT,
    salud_agrario   TEXT,
    cbssp           TEXT,
    fondo_dsa       TEXT,
    aporte_fdsa     TEXT,
    sctr_essalud    TEXT,
    sctr_tributo    TEXT,
    sctr            INTEGER,
    rem_FCJMMS      TEXT,
    aporte_FCJMMS   TEXT,
    rem_FracFCJMMS  TEXT,
    aporte_FrFCJMMS TEXT,
    cNumero         TEXT,
    Nombre          TEXT DEFAULT '',
    fec_nac         TEXT,
    tip_doc         TEXT,
    aseg_pens       TEXT,
    essalud_vida    TEXT,
    rucEps          TEXT,
    ind_afieps      TEXT,
    cod_eps         TEXT,
    sctr_pension    INTEGER,
    num_cuenta      TEXT,
    estado          INTEGER,
    envio           INTEGER,
    fec_insc        TEXT,
    fec_baja        TEXT,
    Nombre_2        TEXT DEFAULT ''
);

-- Personnel of third parties (category 4) of the open declaration; sctrs = rem_sctrs * Tasa / 100.
CREATE TEMP TABLE IF NOT EXISTS TEMP2_F601 (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    CORREL_A      INTEGER,
    DOC_ID_A      TEXT,
    TIP_DOC       TEXT,
    FEC_NAC       TEXT,
    NOMBRE        TEXT DEFAULT '',
    Ruc           TEXT,
    centro        TEXT,
    Correl_centro INTEGER,
    Correl_tasa   INTEGER,
    Tasa          TEXT,
    rem_sctrs     TEXT,
    sctrs         TEXT,
    tip_doc_a     INTEGER,
    ruc_eps       TEXT,
    fec_baja      TEXT
);

-- One row per person and concept: accrued (monto) and paid (monto_pag) amounts and the base of
-- computed contributions. Its unique index is dropped and re-created around bulk refills.
CREATE TEMP TABLE IF NOT EXISTS TMPF601CONCEP (
    tip_doc_a    INTEGER,
    doc_id_a     TEXT,
    correl_a     INTEGER,
    codigo       TEXT,
    cod_cat_tra  INTEGER,
    descrip      TEXT DEFAULT '',
    monto        TEXT,
    monto_pag    TEXT,
    base_calculo TEXT
);

-- Fourth-category provider headers being edited (as F601RDCAB).
CREATE TEMP TABLE IF NOT EXISTS TMPF601RDCAB (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    cod_cat_tra   INTEGER,
    tip_retencion TEXT,
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    Des_Pat       TEXT DEFAULT '',
    Des_Mat       TEXT DEFAULT '',
    Des_No1       TEXT DEFAULT '',
    Des_No2       TEXT DEFAULT '',
    ind_domicilio TEXT,
    ruc           TEXT,
    cNumero       TEXT,
    ruc_estado    TEXT
);

-- Fourth-category vouchers being edited (as F601RDDET).
CREATE TEMP TABLE IF NOT EXISTS TMPF601RDDET (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    cod_cat_tra   INTEGER,
    tip_retencion TEXT,
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    num_ser       TEXT,
    num_rec       TEXT,
    fec_emi       TEXT,
    fec_pago      TEXT,
    mto_rec       TEXT,
    ind_rta       TEXT,
    por_rta       TEXT,
    mto_rta       TEXT,
    ind_ies       TEXT,
    por_ies       TEXT,
    mto_ies       TEXT,
    num_for       TEXT,
    cNumero       TEXT
);

-- Vouchers brought in by the provider-file import (as F621RDDET).
CREATE TEMP TABLE IF NOT EXISTS TMPF621RDDET (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    cod_cat_tra   INTEGER,
    num_doc_ret   TEXT,
    tip_doc_ret   INTEGER,
    tip_retencion TEXT,
    num_ser       TEXT,
    num_rec       TEXT,
    fec_emi       TEXT,
    fec_pago      TEXT,
    mto_rec       TEXT,
    ind_rta       TEXT,
    por_rta       TEXT,
    mto_rta       TEXT,
    ind_ies       TEXT,
    por_ies       TEXT,
    mto_ies       TEXT,
    num_for       TEXT,
    cNumero       TEXT
);

-- Trainees being edited (as F601MFCAB).
CREATE TEMP TABLE IF NOT EXISTS TMPF601MFCAB (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    cod_cat_tra   INTEGER,
    tip_retencion TEXT,
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    APELLIDO_P    TEXT DEFAULT '',
    APELLIDO_M    TEXT DEFAULT '',
    NOMBRE_1      TEXT DEFAULT '',
    mto_renta     TEXT,
    cNumero       TEXT
);

-- Trainee vouchers being edited (as F601MFDET).
CREATE TEMP TABLE IF NOT EXISTS TMPF601MFDET (
    tip_doc_d     INTEGER,
    doc_id_d      TEXT,
    periodo       TEXT,
    formulario    TEXT,
    correl_a      INTEGER,
    cod_cat_tra   INTEGER,
    tip_retencion TEXT,
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    num_ser       TEXT,
    num_rec       TEXT,
    fec_emi       TEXT,
    fec_pago      TEXT,
    mto_rec       TEXT,
    ind_rta       TEXT,
    por_rta       TEXT,
    mto_rta       TEXT,
    ind_ies       TEXT,
    por_ies       TEXT,
    mto_ies       TEXT,
    num_for       TEXT,
    cNumero       TEXT
);

-- Premises of trainees (as F601_ESTABMF; cNumero is written '000000'), plus the LOCAL columns
-- shown beside them.
CREATE TEMP TABLE IF NOT EXISTS TMPF601_ESTABMF (
    tip_doc_d  INTEGER,
    doc_id_d   TEXT,
    correl_a   INTEGER,
    tip_doc_a  INTEGER,
    doc_id_a   TEXT,
    periodo    TEXT,
    formulario TEXT,
    cod_estab  INTEGER,
    cNumero    TEXT,
    cod_est    INTEGER,
    nom_est    TEXT DEFAULT '',
    cod_tipest TEXT,
    indica     INTEGER
);

-- Suspensions being edited (as F601DIAS_NOLAB).
CREATE TEMP TABLE IF NOT EXISTS TMPF601DIAS_NOLAB (
    tip_doc_d   INTEGER,
    doc_id_d    TEXT,
    correl_a    INTEGER,
    tip_doc_a   INTEGER,
    doc_id_a    TEXT,
    periodo     TEXT,
    formulario  TEXT,
    tipo_suspen TEXT,
    fecha_ini   TEXT,
    fecha_fin   TEXT,
    num_citt    TEXT,
    dias_sub    TEXT,
    dias_citt   TEXT,
    dias_lab    TEXT,
    dias_no_lab TEXT,
    cnumero     TEXT
);

-- Subsidy certificates being edited (as F600SUBSID), plus the suspension type and dates of the
-- imported certificate.
CREATE TEMP TABLE IF NOT EXISTS TMPF600SUBSID (
    tip_doc_d    INTEGER,
    doc_id_d     TEXT,
    periodo      TEXT,
    formulario   TEXT,
    correl_a     INTEGER,
    tip_doc_a    INTEGER,
    doc_id_a     TEXT,
    num_citt     TEXT,
    dias_trab    TEXT,
    dias_sub     TEXT,
    dias_no_trab TEXT,
    dias_citt    TEXT,
    fecha_SD     TEXT,
    fecha_SH     TEXT,
    cNumero      TEXT,
    tipo_suspen  TEXT,
    fecha_ini    TEXT,
    fecha_fin    TEXT
);

-- Establishments per worker (Indica 1 = marked). Column order matters: rows are added with
-- 'insert into tmp_estturnos_jl values (...,1)'.
CREATE TEMP TABLE IF NOT EXISTS TMP_ESTTURNOS_JL (
    correl_a   INTEGER,
    tip_doc_a  INTEGER,
    doc_id_a   TEXT,
    cod_est    INTEGER,
    cod_tipest TEXT,
    Indica     INTEGER
);

-- Shifts per worker and establishment listed beside the establishments.
CREATE TEMP TABLE IF NOT EXISTS TMPESTTURNOS (
    correl_a  INTEGER,
    tip_doc_a INTEGER,
    doc_id_a  TEXT,
    cod_est   INTEGER,
    cod_turno TEXT,
    indica    INTEGER
);

-- A worker's SCTR choice (at most one row per worker).
CREATE TEMP TABLE IF NOT EXISTS TMP_F601_SCTR_OTRO (
    tip_doc_a     INTEGER,
    doc_id_a      TEXT,
    correl_a      INTEGER,
    ruc           TEXT,
    tasa          TEXT,
    correl_centro INTEGER,
    correl_tasa   INTEGER,
    centro        TEXT,
    rem_sctrs     TEXT
);

-- Income from other employers being edited (as F601_605).
CREATE TEMP TABLE IF NOT EXISTS TMPF601_605 (
    tip_doc_d  INTEGER,
    doc_id_d   TEXT,
    periodo    TEXT,
    formulario TEXT,
    correl_a   INTEGER,
    tip_doc_a  INTEGER,
    doc_id_a   TEXT,
    ruc        TEXT,
    nombre     TEXT DEFAULT '',
    monto      TEXT,
    cNumero    TEXT
);

-- EPS invoices being edited (as F600INFEPS).
CREATE TEMP TABLE IF NOT EXISTS TMPF600INFEPS (
    tip_doc_d   INTEGER,
    doc_id_d    TEXT,
    periodo     TEXT,
    formulario  TEXT,
    Casilla     TEXT,
    Correl      TEXT,
    RUC_EPS     TEXT,
    Periodo_fac TEXT,
    Num_Serie   TEXT,
    Num_Fac     TEXT,
    Fec_Emis    TEXT,
    Fec_pago    TEXT,
    Imp_total   TEXT,
    Imp_cred    TEXT,
    cNumero     TEXT
);

-- Copy of CONCEPTOS_REM (same columns, same order) with the declarant's marks in indica.
CREATE TEMP TABLE IF NOT EXISTS TMP_CONCEPTOS_REM (
    Codigo     TEXT,
    Descripc   TEXT DEFAULT '',
    indica     TEXT,
    ind_origen TEXT
);

-- Rows of the tax-base consultation (one per person found).
CREATE TEMP TABLE IF NOT EXISTS TEMP_FCONBT (
    DOC_ID_D           TEXT,
    nombre             TEXT DEFAULT '',
    periodo            TEXT,
    CORREL             TEXT,
    tip_doc_a          INTEGER,
    doc_id_a           TEXT,
    correl_a           INTEGER,
    cod_cat_tra        INTEGER,
    apellido_p         TEXT DEFAULT '',
    apellido_m         TEXT DEFAULT '',
    nombre_1           TEXT DEFAULT '',
    categoria          TEXT DEFAULT '',
    base_20530         TEXT,
    trib_20530         TEXT,
    essalud_vida       TEXT,
    base_quinta        TEXT,
    tributo_quinta     TEXT,
    base_pens          TEXT,
    tributo_pens       TEXT,
    tributo_spp        TEXT,
    seg_regret_base    TEXT,
    seg_regret_tributo TEXT,
    aseg_tu_pens       TEXT,
    base_fdsa          TEXT,
    tributo_fdsa       TEXT,
    seg_reg_base       TEXT,
    seg_reg_tributo    TEXT,
    base_cbssp         TEXT,
    trib_cbssp         TEXT,
    base_agrario       TEXT,
    tributo_agrario    TEXT,
    sctr_base          TEXT,
    sctr_tributo       TEXT,
    trib_senati        TEXT,
    base_ies           TEXT,
    tributo_ies        TEXT,
    base_4ta           TEXT,
    trib_4ta           TEXT,
    rem_sctrs          TEXT,
    sctrs              TEXT
);

-- Workers and pensioners whose rows changed since the working set last matched the stored
-- declaration (filled by the triggers of data/working_tables.cpp): the save rewrites their stored
-- rows only. The row (-1, -1) stands for every person (a new declaration: nothing stored yet).
CREATE TEMP TABLE IF NOT EXISTS TMPF601_CAMBIOS (
    correl_a           INTEGER NOT NULL,
    cod_cat_tra        INTEGER NOT NULL,
    PRIMARY KEY (correl_a, cod_cat_tra)
) WITHOUT ROWID;

-- ===============================================================================================
-- Indexes
-- ===============================================================================================

-- Required by the concept forms; dropped and re-created around bulk refills. No index on the code
-- alone: the few statements that pick rows by code over the whole table read it through (a few
-- milliseconds on the largest payrolls), which costs far less than building such an index at
-- every opening, import and computation and keeping it up on every write.
CREATE UNIQUE INDEX IF NOT EXISTS temp.IDX_TMPF601CONCEP ON TMPF601CONCEP(tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra);

-- Working tables: person key.
CREATE INDEX IF NOT EXISTS temp.IX_TEMP1_F601_TIP_DOC_A ON TEMP1_F601(tip_doc_a, doc_id_a, cod_cat_tra);
CREATE INDEX IF NOT EXISTS temp.IX_TEMP1_F601_CORREL_A ON TEMP1_F601(correl_a, cod_cat_tra);
CREATE INDEX IF NOT EXISTS temp.IX_TEMP2_F601_TIP_DOC_A ON TEMP2_F601(tip_doc_a, DOC_ID_A);
CREATE INDEX IF NOT EXISTS temp.IX_TMPF601RDCAB_TIP_DOC_A ON TMPF601RDCAB(tip_doc_a, doc_id_a, correl_a);
CREATE INDEX IF NOT EXISTS temp.IX_TMPF601RDDET_TIP_DOC_A ON TMPF601RDDET(tip_doc_a, doc_id_a, correl_a, tip_retencion);
CREATE INDEX IF NOT EXISTS temp.IX_TMPF621RDDET_TIP_DOC_RET ON TMPF621RDDET(tip_doc_ret, num_doc_ret, tip_retencion);
CREATE INDEX IF NOT EXISTS temp.IX_TMPF601MFCAB_TIP_DOC_A ON TMPF601MFCAB(tip_doc_a, doc_id_a, correl_a);
CREATE INDEX IF NOT EXISTS temp.IX_TMPF601MFDET_TIP_DOC_A ON TMPF601MFDET(tip_doc_a, doc_id_a, correl_a);
CREATE INDEX IF NOT EXISTS temp.IX_TMPF601_ESTABMF_CORREL_A ON TMPF601_ESTABMF(correl_a, tip_doc_a, doc_id_a);
CREATE INDEX IF NOT EXISTS temp.IX_TMPF601DIAS_NOLAB_CORREL_A ON TMPF601DIAS_NOLAB(correl_a, tip_doc_a, doc_id_a);
CREATE INDEX IF NOT EXISTS temp.IX_TMPF600SUBSID_TIP_DOC_A ON TMPF600SUBSID(tip_doc_a, doc_id_a);
CREATE INDEX IF NOT EXISTS temp.IX_TMP_ESTTURNOS_JL_CORREL_A ON TMP_ESTTURNOS_JL(correl_a, tip_doc_a, doc_id_a);
CREATE INDEX IF NOT EXISTS temp.IX_TMPESTTURNOS_CORREL_A ON TMPESTTURNOS(correl_a, tip_doc_a, doc_id_a);
CREATE INDEX IF NOT EXISTS temp.IX_TMP_F601_SCTR_OTRO_CORREL_A ON TMP_F601_SCTR_OTRO(correl_a, tip_doc_a, doc_id_a);
CREATE INDEX IF NOT EXISTS temp.IX_TMPF601_605_CORREL_A ON TMPF601_605(correl_a, tip_doc_a, doc_id_a);
CREATE INDEX IF NOT EXISTS temp.IX_TMPF600INFEPS_CASILLA ON TMPF600INFEPS(Casilla, RUC_EPS);
CREATE INDEX IF NOT EXISTS temp.IX_TEMP_FCONBT_COD_CAT_TRA ON TEMP_FCONBT(cod_cat_tra, tip_doc_a, doc_id_a);
