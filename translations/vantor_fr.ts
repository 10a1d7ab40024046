<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>BlockText</name>
    <message>
        <source>Workspace credits used up</source>
        <translation>Crédits de l’espace de travail épuisés</translation>
    </message>
    <message>
        <source>Workspace out of credits</source>
        <translation>L’espace de travail n’a plus de crédits</translation>
    </message>
    <message>
        <source>Workspace usage limit reached</source>
        <translation>Limite d’utilisation de l’espace de travail atteinte</translation>
    </message>
    <message>
        <source>Workspace-wide usage limit reached</source>
        <translation>Limite d’utilisation commune de l’espace de travail atteinte</translation>
    </message>
    <message>
        <source>Usage limit reached</source>
        <translation>Limite d’utilisation atteinte</translation>
    </message>
    <message>
        <source>Spending limit reached</source>
        <translation>Plafond de dépenses atteint</translation>
    </message>
    <message>
        <source>Usage blocked</source>
        <translation>Utilisation bloquée</translation>
    </message>
    <message>
        <source>Workspace credits are available again.</source>
        <translation>Les crédits de l’espace de travail sont de nouveau disponibles.</translation>
    </message>
    <message>
        <source>The spending limit no longer blocks your usage.</source>
        <translation>Le plafond de dépenses ne bloque plus votre utilisation.</translation>
    </message>
    <message>
        <source>The block on your usage has lifted.</source>
        <translation>Le blocage de votre utilisation a été levé.</translation>
    </message>
    <message>
        <source>until %1</source>
        <extracomment>When a block lifts: &quot;until Jan 1, 09:00&quot;.</extracomment>
        <translation>jusqu’à %1</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <extracomment>A block and when it lifts: &quot;Workspace credits used up · until Jan 1, 09:00&quot;.</extracomment>
        <translation>%1 · %2</translation>
    </message>
</context>
<context>
    <name>CardText</name>
    <message>
        <source>Codex</source>
        <translation>Codex</translation>
    </message>
    <message>
        <source>Claude</source>
        <translation>Claude</translation>
    </message>
    <message>
        <source>Limit reached</source>
        <translation>Limite atteinte</translation>
    </message>
    <message>
        <source>Available</source>
        <translation>Disponible</translation>
    </message>
    <message>
        <source>Unavailable</source>
        <translation>Indisponible</translation>
    </message>
    <message>
        <source>Loading</source>
        <translation>Chargement</translation>
    </message>
    <message>
        <source>%1 usage</source>
        <translation>Utilisation de %1</translation>
    </message>
    <message>
        <source>Collapse usage details</source>
        <translation>Masquer le détail de l&apos;utilisation</translation>
    </message>
    <message>
        <source>Expand usage details</source>
        <translation>Afficher le détail de l&apos;utilisation</translation>
    </message>
    <message>
        <source>Usage data unavailable</source>
        <translation>Données d&apos;utilisation indisponibles</translation>
    </message>
    <message>
        <source>Binding limit</source>
        <translation>Limite active</translation>
    </message>
    <message>
        <source>Weekly limit</source>
        <translation>Limite hebdomadaire</translation>
    </message>
    <message>
        <source>Model week</source>
        <translation>Semaine du modèle</translation>
    </message>
    <message>
        <source>Monthly limit</source>
        <translation>Limite mensuelle</translation>
    </message>
    <message>
        <source>%1 plan</source>
        <translation>Forfait %1</translation>
    </message>
    <message numerus="yes">
        <source>%n resets available</source>
        <translation>
            <numerusform>%n réinitialisation disponible</numerusform>
            <numerusform>%n réinitialisations disponibles</numerusform>
        </translation>
    </message>
    <message>
        <source>Not started</source>
        <translation>Non démarrée</translation>
    </message>
    <message>
        <source>Reset unavailable</source>
        <translation>Réinitialisation inconnue</translation>
    </message>
    <message>
        <source>Reset time passed</source>
        <translation>Réinitialisation passée</translation>
    </message>
    <message>
        <source>On pace: lasts until the reset</source>
        <translation>À ce rythme, suffisant jusqu&apos;à la réinitialisation</translation>
    </message>
    <message>
        <source>At this pace: runs out in %1</source>
        <translation>À ce rythme, épuisé dans %1</translation>
    </message>
    <message>
        <source>At this pace: runs out at %1</source>
        <translation>À ce rythme, épuisé à %1</translation>
    </message>
    <message>
        <source>%1, reset time passed</source>
        <translation>%1, heure de réinitialisation passée</translation>
    </message>
    <message>
        <source>%1, resets %2</source>
        <translation>%1, réinitialisation&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Weekly</source>
        <translation>Semaine</translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation>Mois</translation>
    </message>
    <message>
        <source>Usage</source>
        <translation>Utilisation</translation>
    </message>
    <message numerus="yes">
        <source>%n% left</source>
        <translation>
            <numerusform>%n&#x202f;% restant</numerusform>
            <numerusform>%n&#x202f;% restants</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n percent used</source>
        <translation>
            <numerusform>%n pour cent utilisé</numerusform>
            <numerusform>%n pour cent utilisés</numerusform>
        </translation>
    </message>
    <message>
        <source>At this pace: runs out tomorrow at %1</source>
        <translation>À ce rythme, épuisé demain à %1</translation>
    </message>
    <message>
        <source>At this pace: runs out on %1 at %2</source>
        <translation>À ce rythme, épuisé %1 à %2</translation>
    </message>
    <message>
        <source>At this pace: runs out on %1</source>
        <translation>À ce rythme, épuisé le %1</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <extracomment>A card&apos;s title when several accounts of an assistant are watched: &quot;Claude · work&quot;.</extracomment>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <source>The usage shows here by itself once Vantor can read it.</source>
        <translation>L’utilisation s’affiche ici d’elle-même dès que Vantor peut la lire.</translation>
    </message>
    <message>
        <source>5-hour</source>
        <translation>5&#xa0;heures</translation>
    </message>
    <message>
        <source>5-hour limit</source>
        <translation>Limite de 5&#xa0;heures</translation>
    </message>
    <message>
        <source>%1, resets in %2</source>
        <translation>%1, réinitialisation dans %2</translation>
    </message>
</context>
<context>
    <name>ClaudeUsageProvider</name>
    <message>
        <source>Session expired: run claude to sign in again</source>
        <translation>Session expirée&#xa0;: lancez claude pour vous reconnecter</translation>
    </message>
    <message>
        <source>This token cannot read usage (no user:profile scope, as from claude setup-token): run claude to sign in</source>
        <translation>Ce jeton ne peut pas lire l&apos;utilisation (pas de portée user:profile, comme ceux de claude setup-token)&#xa0;: lancez claude pour vous connecter</translation>
    </message>
    <message>
        <source>Rate limited, next try after %1</source>
        <translation>Trop de requêtes, nouvel essai après %1</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>choose one of --json and --waybar</source>
        <translation>choisissez --json ou --waybar, pas les deux</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>option inconnue «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>argument inattendu «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>vantor: %1
Try &apos;vantor --help&apos;.</source>
        <translation>vantor&#xa0;: %1
Essayez «&#xa0;vantor --help&#xa0;».</translation>
    </message>
    <message>
        <source>--follow works only with --waybar</source>
        <translation>--follow ne s&apos;utilise qu&apos;avec --waybar</translation>
    </message>
    <message>
        <source>Usage: vantor [-h | --help | --version]
       vantor status [--json | --waybar [--follow]]
       vantor statusline
       vantor refresh | settings | quit

Without a command, Vantor starts in the tray and shows how much of the Codex and
Claude Code usage limits is left. If Vantor is already running, it shows its
window instead.

Commands:
  status           Print one line per account: the limit with the least left,
                   and when it resets, or why there is nothing to show.
  status --json    Print all readings as JSON, for scripts.
  status --waybar  Print one line of JSON for a Waybar custom module.
    --follow       Keep running and print a new line whenever it changes.
  statusline       Status line for Claude Code: reads what Claude Code sends,
                   prints one line and passes the usage on to Vantor.
  refresh          Ask the running Vantor to check usage now.
  settings         Ask the running Vantor to open its settings.
  quit             Ask the running Vantor to quit.
  -h, --help       Show this help.
  --version        Show the version.

These commands never start Vantor. When it is not running, status shows the
last stored readings, and refresh, settings and quit fail.

Waybar, in ~/.config/waybar/config, with &quot;custom/vantor&quot; in &quot;modules-right&quot;:
  &quot;custom/vantor&quot;: {
    &quot;exec&quot;: &quot;vantor status --waybar --follow&quot;,
    &quot;return-type&quot;: &quot;json&quot;
  }
Or, checked every 30 seconds instead:
  &quot;exec&quot;: &quot;vantor status --waybar&quot;, &quot;return-type&quot;: &quot;json&quot;, &quot;interval&quot;: 30

Files:
  $XDG_CONFIG_HOME/vantor/vantor.conf (~/.config/vantor/vantor.conf)
      Settings and the last readings.
  $XDG_STATE_HOME/vantor/history.json (~/.local/state/vantor/history.json)
      Usage history.
</source>
        <extracomment>Every line at most 80 columns wide (a Japanese character takes two). The commands, options, file names and the Waybar snippet stay as they are.</extracomment>
        <translation>Utilisation&#xa0;: vantor [-h | --help | --version]
              vantor status [--json | --waybar [--follow]]
              vantor statusline
              vantor refresh | settings | quit

Sans commande, Vantor démarre dans la zone de notification et indique ce qu&apos;il
reste des limites d&apos;utilisation de Codex et de Claude Code. Si Vantor est déjà
lancé, il affiche sa fenêtre.

Commandes&#xa0;:
  status           Affiche une ligne par compte&#xa0;: la limite où il reste le
                   moins et quand elle se réinitialise, ou pourquoi il n&apos;y a
                   rien à afficher.
  status --json    Affiche toutes les mesures en JSON, pour les scripts.
  status --waybar  Affiche une ligne de JSON pour un module Waybar.
    --follow       Continue et affiche une nouvelle ligne à chaque changement.
  statusline       Ligne d&apos;état pour Claude Code&#xa0;: lit ce qu&apos;envoie Claude
                   Code, affiche une ligne et transmet l&apos;utilisation à Vantor.
  refresh          Demande au Vantor lancé de vérifier l&apos;utilisation.
  settings         Demande au Vantor lancé d&apos;ouvrir ses paramètres.
  quit             Demande au Vantor lancé de quitter.
  -h, --help       Affiche cette aide.
  --version        Affiche la version.

Ces commandes ne démarrent jamais Vantor. S&apos;il n&apos;est pas lancé, status affiche
les dernières mesures enregistrées, et refresh, settings et quit échouent.

Waybar (~/.config/waybar/config), avec &quot;custom/vantor&quot; dans &quot;modules-right&quot;&#xa0;:
  &quot;custom/vantor&quot;: {
    &quot;exec&quot;: &quot;vantor status --waybar --follow&quot;,
    &quot;return-type&quot;: &quot;json&quot;
  }
Ou bien, vérifié toutes les 30 secondes&#xa0;:
  &quot;exec&quot;: &quot;vantor status --waybar&quot;, &quot;return-type&quot;: &quot;json&quot;, &quot;interval&quot;: 30

Fichiers&#xa0;:
  $XDG_CONFIG_HOME/vantor/vantor.conf (~/.config/vantor/vantor.conf)
      Paramètres et dernières mesures.
  $XDG_STATE_HOME/vantor/history.json (~/.local/state/vantor/history.json)
      Historique d&apos;utilisation.
</translation>
    </message>
</context>
<context>
    <name>DBusNotificationCenter</name>
    <message>
        <source>Show Usage</source>
        <translation>Afficher l’utilisation</translation>
    </message>
</context>
<context>
    <name>MenuBarStatusLabel</name>
    <message>
        <source>Vantor</source>
        <translation>Vantor</translation>
    </message>
    <message>
        <source>Vantor: usage nearing limit</source>
        <translation>Vantor&#xa0;: utilisation proche de la limite</translation>
    </message>
    <message>
        <source>Vantor: limit reached</source>
        <translation>Vantor&#xa0;: limite atteinte</translation>
    </message>
    <message>
        <source>Vantor: providers unavailable</source>
        <translation>Vantor&#xa0;: fournisseurs indisponibles</translation>
    </message>
</context>
<context>
    <name>MoneyText</name>
    <message>
        <source>Extra usage: %1 of %2 this month</source>
        <translation>Hors forfait&#xa0;: %1 sur %2 ce mois-ci</translation>
    </message>
    <message>
        <source>Extra usage: %1 this month</source>
        <translation>Hors forfait&#xa0;: %1 ce mois-ci</translation>
    </message>
    <message>
        <source>Spent: %1 of %2</source>
        <translation>Dépensé&#xa0;: %1 sur %2</translation>
    </message>
    <message>
        <source>Spent: %1</source>
        <translation>Dépensé&#xa0;: %1</translation>
    </message>
    <message>
        <source>Workspace credits: %1 of %2 used</source>
        <translation>Crédits de l’espace de travail&#xa0;: %1 sur %2 utilisés</translation>
    </message>
    <message>
        <source>Workspace credits: %1 used</source>
        <translation>Crédits de l’espace de travail&#xa0;: %1 utilisés</translation>
    </message>
    <message>
        <source>Unlimited credits</source>
        <translation>Crédits illimités</translation>
    </message>
    <message>
        <source>%1 credits left</source>
        <translation>%1 crédits restants</translation>
    </message>
    <message>
        <source>%1 of %2 used</source>
        <translation>%1 sur %2 utilisés</translation>
    </message>
    <message>
        <source>%1 used</source>
        <translation>%1 utilisés</translation>
    </message>
</context>
<context>
    <name>NotificationManager</name>
    <message>
        <source>Claude is ready again</source>
        <translation>Claude est de nouveau disponible</translation>
    </message>
    <message>
        <source>Codex is ready again</source>
        <translation>Codex est de nouveau disponible</translation>
    </message>
    <message>
        <source>Vantor</source>
        <translation>Vantor</translation>
    </message>
    <message>
        <source>Test notification — your alerts are ready.</source>
        <translation>Notification de test — vos alertes sont prêtes.</translation>
    </message>
    <message>
        <source>Your weekly usage is available again.</source>
        <translation>Votre quota hebdomadaire est de nouveau disponible.</translation>
    </message>
    <message>
        <source>Your 5-hour usage limit has reset.</source>
        <translation>Votre limite de 5&#xa0;heures a été réinitialisée.</translation>
    </message>
    <message>
        <source>Your monthly usage is available again.</source>
        <translation>Votre quota mensuel est de nouveau disponible.</translation>
    </message>
    <message>
        <source>Your usage limit has reset.</source>
        <translation>Votre limite d&apos;utilisation a été réinitialisée.</translation>
    </message>
    <message>
        <source>%1 is ready again</source>
        <extracomment>&quot;Claude (work) is ready again&quot;: an assistant and one of its several accounts.</extracomment>
        <translation>%1 est de nouveau disponible</translation>
    </message>
    <message>
        <source>%1: 5-hour limit reached</source>
        <translation>%1&#xa0;: limite de 5&#xa0;heures atteinte</translation>
    </message>
    <message>
        <source>%1: weekly limit reached</source>
        <translation>%1&#xa0;: limite hebdomadaire atteinte</translation>
    </message>
    <message>
        <source>%1: monthly limit reached</source>
        <translation>%1&#xa0;: limite mensuelle atteinte</translation>
    </message>
    <message>
        <source>%1: usage limit reached</source>
        <translation>%1&#xa0;: limite d’utilisation atteinte</translation>
    </message>
    <message>
        <source>%1: %2 limit reached</source>
        <extracomment>&quot;Codex: Spark · 5 hour limit reached&quot;: %2 is the limit&apos;s own name.</extracomment>
        <translation>%1&#xa0;: limite «&#xa0;%2&#xa0;» atteinte</translation>
    </message>
    <message>
        <source>Back at %1.</source>
        <translation>De retour à %1.</translation>
    </message>
    <message>
        <source>Back tomorrow at %1.</source>
        <translation>De retour demain à %1.</translation>
    </message>
    <message>
        <source>Back on %1 at %2.</source>
        <extracomment>&quot;Back on Tuesday at 15:40.&quot;: %1 the weekday, %2 the time.</extracomment>
        <translation>De retour %1 à %2.</translation>
    </message>
    <message>
        <source>Back on %1.</source>
        <extracomment>&quot;Back on Dec 14, 15:40.&quot;: %1 the month, day and time.</extracomment>
        <translation>De retour le %1.</translation>
    </message>
    <message>
        <source>%1: session expired</source>
        <extracomment>&quot;Claude: session expired&quot;: the usage shown is no longer current.</extracomment>
        <translation>%1&#xa0;: session expirée</translation>
    </message>
    <message>
        <source>%1: signed out</source>
        <translation>%1&#xa0;: déconnecté</translation>
    </message>
    <message>
        <source>Vantor shows the last figures until then.</source>
        <translation>Vantor affiche les derniers chiffres d’ici là.</translation>
    </message>
    <message>
        <source>%1: sign-in needed</source>
        <translation>%1&#xa0;: connexion requise</translation>
    </message>
    <message>
        <source>%1: %2 of the 5-hour limit left</source>
        <translation>%1&#xa0;: il reste %2 de la limite de 5&#xa0;heures</translation>
    </message>
    <message>
        <source>%1: %2 of the weekly limit left</source>
        <translation>%1&#xa0;: il reste %2 de la limite hebdomadaire</translation>
    </message>
    <message>
        <source>%1: %2 of the monthly limit left</source>
        <translation>%1&#xa0;: il reste %2 de la limite mensuelle</translation>
    </message>
    <message>
        <source>%1: %2 of the usage limit left</source>
        <translation>%1&#xa0;: il reste %2 de la limite d’utilisation</translation>
    </message>
    <message>
        <source>%1: %2 of the %3 limit left</source>
        <translation>%1&#xa0;: il reste %2 de la limite «&#xa0;%3&#xa0;»</translation>
    </message>
</context>
<context>
    <name>PopoverViewModel</name>
    <message>
        <source>Vantor</source>
        <translation>Vantor</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Actualiser</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Shortcut %1</source>
        <translation>Raccourci %1</translation>
    </message>
    <message>
        <source>Show Usage</source>
        <translation>Afficher l’utilisation</translation>
    </message>
    <message>
        <source>Play reset alert</source>
        <translation>Jouer l&apos;alerte sonore</translation>
    </message>
</context>
<context>
    <name>ProviderStatusText</name>
    <message>
        <source>Weekly</source>
        <translation>Semaine</translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation>Mois</translation>
    </message>
    <message>
        <source>Additional limit</source>
        <translation>Limite supplémentaire</translation>
    </message>
    <message>
        <source>Codex</source>
        <translation>Codex</translation>
    </message>
    <message>
        <source>Claude Code</source>
        <translation>Claude Code</translation>
    </message>
    <message>
        <source>Not detected</source>
        <translation>Non détecté</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Connecté</translation>
    </message>
    <message>
        <source>Not installed</source>
        <translation>Non installé</translation>
    </message>
    <message>
        <source>Sign in required</source>
        <translation>Connexion requise</translation>
    </message>
    <message>
        <source>Upgrade to Pro</source>
        <translation>Passer à Pro</translation>
    </message>
    <message>
        <source>Unavailable</source>
        <translation>Indisponible</translation>
    </message>
    <message>
        <source>Claude</source>
        <translation>Claude</translation>
    </message>
    <message>
        <source>default</source>
        <translation>par défaut</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <extracomment>An assistant and one of its accounts: &quot;Claude (work)&quot;.</extracomment>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>Session expired</source>
        <translation>Session expirée</translation>
    </message>
    <message>
        <source>Rate limited</source>
        <translation>Limite de requêtes atteinte</translation>
    </message>
    <message>
        <source>This token cannot read usage (one made by claude setup-token): run claude and sign in</source>
        <translation>Ce jeton ne peut pas lire l’utilisation (jeton créé par claude setup-token)&#xa0;: lancez claude et connectez-vous</translation>
    </message>
    <message>
        <source>Rate limited until %1</source>
        <extracomment>%1 the local time after which Vantor asks again.</extracomment>
        <translation>Limite de requêtes atteinte jusqu’à %1</translation>
    </message>
    <message>
        <source>Usage data couldn&apos;t be refreshed; Vantor tries again soon.</source>
        <translation>Les données d’utilisation n’ont pas pu être actualisées&#xa0;; Vantor réessaie bientôt.</translation>
    </message>
    <message>
        <source>Not installed: install it with npm install -g @openai/codex</source>
        <translation>Non installé&#xa0;: installez-le avec npm install -g @openai/codex</translation>
    </message>
    <message>
        <source>Not installed: install it with npm install -g @anthropic-ai/claude-code</source>
        <translation>Non installé&#xa0;: installez-le avec npm install -g @anthropic-ai/claude-code</translation>
    </message>
    <message>
        <source>Not signed in: run codex login</source>
        <translation>Non connecté&#xa0;: lancez codex login</translation>
    </message>
    <message>
        <source>Not signed in: run claude and sign in</source>
        <translation>Non connecté&#xa0;: lancez claude et connectez-vous</translation>
    </message>
    <message>
        <source>Session expired: run claude to renew it</source>
        <translation>Session expirée&#xa0;: lancez claude pour la renouveler</translation>
    </message>
    <message>
        <source>5-hour</source>
        <translation>5&#xa0;heures</translation>
    </message>
    <message>
        <source>%1%</source>
        <extracomment>A share: &quot;42%&quot;; the language&apos;s own spacing before the sign.</extracomment>
        <translation>%1&#x202f;%</translation>
    </message>
    <message numerus="yes">
        <source>%1 %n% left</source>
        <extracomment>A window&apos;s share left: &quot;5-hour 42% left&quot;; %1 the window&apos;s name.</extracomment>
        <translation>
            <numerusform>%1, %n&#x202f;% restant</numerusform>
            <numerusform>%1, %n&#x202f;% restants</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 limit reached</source>
        <extracomment>%1 the window&apos;s name: &quot;5-hour limit reached&quot;.</extracomment>
        <translation>%1, limite atteinte</translation>
    </message>
    <message>
        <source>%1 limit reset, waiting for a new reading</source>
        <extracomment>A limit whose reset time has passed, before a refresh has read it again; %1 its name.</extracomment>
        <translation>%1, limite réinitialisée, en attente d’une nouvelle lecture</translation>
    </message>
    <message>
        <source>%1 use unknown</source>
        <extracomment>A window whose use the provider did not tell: &quot;5-hour use unknown&quot;.</extracomment>
        <translation>%1, utilisation inconnue</translation>
    </message>
    <message>
        <source>as of %1</source>
        <translation>données de %1</translation>
    </message>
    <message>
        <source>not refreshed</source>
        <translation>non actualisé</translation>
    </message>
    <message>
        <source>session expired</source>
        <translation>session expirée</translation>
    </message>
    <message>
        <source>sign in needed</source>
        <translation>connexion requise</translation>
    </message>
    <message>
        <source>rate limited</source>
        <translation>limite de requêtes</translation>
    </message>
    <message>
        <source>not installed</source>
        <translation>non installé</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <extracomment>Values not current: &quot;as of 9:01 PM · sign in needed&quot;.</extracomment>
        <translation>%1 · %2</translation>
    </message>
</context>
<context>
    <name>SettingsText</name>
    <message>
        <source>English</source>
        <translation>Anglais</translation>
    </message>
    <message>
        <source>French</source>
        <translation>Français</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>Japonais</translation>
    </message>
    <message>
        <source>Automatic (system language)</source>
        <translation>Langue du système</translation>
    </message>
    <message>
        <source>Male</source>
        <translation>Masculine</translation>
    </message>
    <message>
        <source>Female</source>
        <translation>Féminine</translation>
    </message>
    <message>
        <source>Test notification sent.</source>
        <translation>Notification de test envoyée.</translation>
    </message>
    <message>
        <source>Notifications are off. Enable Vantor in the desktop&apos;s notification settings.</source>
        <translation>Les notifications sont désactivées. Activez Vantor dans les paramètres de notification du bureau.</translation>
    </message>
    <message>
        <source>That account is already listed.</source>
        <translation>Ce compte figure déjà dans la liste.</translation>
    </message>
    <message>
        <source>This folder holds no Claude Code or Codex sign-in.</source>
        <translation>Ce dossier ne contient aucune connexion Claude Code ou Codex.</translation>
    </message>
    <message>
        <source>At most %1 accounts per assistant.</source>
        <translation>%1 comptes au plus par assistant.</translation>
    </message>
</context>
<context>
    <name>SettingsViewModel</name>
    <message>
        <source>Off</source>
        <translation>Désactivé</translation>
    </message>
    <message>
        <source>Symbol</source>
        <translation>Symbole</translation>
    </message>
    <message>
        <source>Percentage left</source>
        <translation>Pourcentage restant</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>Automatique</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Général</translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation>Lancer à la connexion</translation>
    </message>
    <message>
        <source>Tray icon shows</source>
        <translation>L&apos;icône affiche</translation>
    </message>
    <message>
        <source>Reset alert</source>
        <translation>Alerte de réinitialisation</translation>
    </message>
    <message>
        <source>Play reset alert</source>
        <translation>Jouer l&apos;alerte sonore</translation>
    </message>
    <message>
        <source>Voice</source>
        <translation>Voix</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Son</translation>
    </message>
    <message>
        <source>Play Audio Test</source>
        <translation>Tester le son</translation>
    </message>
    <message>
        <source>Send Test Notification</source>
        <translation>Envoyer une notification de test</translation>
    </message>
    <message>
        <source>Open Notification Settings</source>
        <translation>Ouvrir les paramètres de notification</translation>
    </message>
    <message>
        <source>Providers</source>
        <translation>Fournisseurs</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Vantor 1.0</source>
        <translation>Vantor 1.0</translation>
    </message>
    <message>
        <source>Usage data and alert preferences stay on this computer. Claude usage support is experimental.</source>
        <translation>Les données d&apos;utilisation et les préférences d&apos;alerte restent sur cet ordinateur. Le suivi de l&apos;utilisation de Claude est expérimental.</translation>
    </message>
    <message>
        <source>The notification settings could not be opened.</source>
        <translation>Impossible d&apos;ouvrir les paramètres de notification.</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <extracomment>A provider&apos;s row when several accounts of it are watched: &quot;Claude Code · work&quot;.</extracomment>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <source>Watch %1</source>
        <extracomment>The switch that watches an account or not: &quot;Watch Claude (work)&quot;.</extracomment>
        <translation>Surveiller %1</translation>
    </message>
    <message>
        <source>Remove %1</source>
        <extracomment>The button that forgets an account: &quot;Remove Claude (work)&quot;.</extracomment>
        <translation>Retirer %1</translation>
    </message>
    <message>
        <source>Accounts</source>
        <translation>Comptes</translation>
    </message>
    <message>
        <source>Add folder...</source>
        <translation>Ajouter un dossier...</translation>
    </message>
    <message>
        <source>Choose the folder of a Claude Code or Codex account</source>
        <translation>Choisir le dossier d’un compte Claude Code ou Codex</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Retirer</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Voice language</source>
        <translation>Langue de la voix</translation>
    </message>
    <message>
        <source>%1 left</source>
        <translation>%1 restants</translation>
    </message>
    <message>
        <source>Warn when a limit is down to</source>
        <translation>Seuil d’avertissement</translation>
    </message>
</context>
<context>
    <name>SettingsWindowPresenter</name>
    <message>
        <source>Vantor Settings</source>
        <translation>Paramètres de Vantor</translation>
    </message>
</context>
<context>
    <name>StatusReport</name>
    <message>
        <source>%1: %2</source>
        <translation>%1&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1: blocked</source>
        <extracomment>Waybar&apos;s text for an account that cannot be used now: &quot;Codex: blocked&quot;.</extracomment>
        <translation>%1&#xa0;: bloqué</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <extracomment>Waybar&apos;s text for a spent limit: %1 the limit, %2 when it is back (&quot;back in 40 min&quot;, &quot;back at 11:03 PM&quot;).</extracomment>
        <translation>%1, %2</translation>
    </message>
</context>
<context>
    <name>TimeDisplayFormatter</name>
    <message>
        <source>Resets at %1.</source>
        <translation>Réinitialisation à %1.</translation>
    </message>
    <message>
        <source>Resets tomorrow at %1.</source>
        <translation>Réinitialisation demain à %1.</translation>
    </message>
    <message>
        <source>Resets on %1 at %2.</source>
        <translation>Réinitialisation %1 à %2.</translation>
    </message>
    <message>
        <source>Resets on %1.</source>
        <translation>Réinitialisation le %1.</translation>
    </message>
    <message numerus="yes">
        <source>%n min</source>
        <translation>
            <numerusform>%n&#xa0;min</numerusform>
            <numerusform>%n&#xa0;min</numerusform>
        </translation>
    </message>
    <message>
        <source>tomorrow, %1</source>
        <translation>demain,&#xa0;%1</translation>
    </message>
    <message>
        <source>back in %1</source>
        <extracomment>When a spent limit comes back: &quot;back in 12 min&quot;.</extracomment>
        <translation>de retour dans %1</translation>
    </message>
    <message>
        <source>back at %1</source>
        <translation>de retour à %1</translation>
    </message>
    <message>
        <source>back tomorrow at %1</source>
        <translation>de retour demain à %1</translation>
    </message>
    <message>
        <source>back %1 at %2</source>
        <translation>de retour %1 à %2</translation>
    </message>
    <message>
        <source>back %1</source>
        <translation>de retour le %1</translation>
    </message>
    <message>
        <source>resets in %1</source>
        <extracomment>When a limit resets: &quot;resets in 12 min&quot;, &quot;resets Fri 09:00&quot;.</extracomment>
        <translation>réinitialisation dans %1</translation>
    </message>
    <message>
        <source>resets %1</source>
        <translation>réinitialisation&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>TrayFigure</name>
    <message>
        <source>%1m</source>
        <translation>%1m</translation>
    </message>
    <message>
        <source>%1h</source>
        <translation>%1h</translation>
    </message>
    <message>
        <source>%1d</source>
        <translation>%1j</translation>
    </message>
</context>
<context>
    <name>UsageCoordinator</name>
    <message>
        <source>Usage data couldn&apos;t be refreshed.</source>
        <translation>Impossible d&apos;actualiser les données d&apos;utilisation.</translation>
    </message>
</context>
<context>
    <name>VantorRuntime</name>
    <message>
        <source>Vantor runs in the background</source>
        <translation>Vantor fonctionne en arrière-plan</translation>
    </message>
    <message>
        <source>Your panel shows no tray icons. Install the AppIndicator and KStatusNotifierItem Support extension to see Vantor&apos;s icon; meanwhile vantor status shows your limits.</source>
        <translation>Votre barre n’affiche pas d’icônes de zone de notification. Installez l’extension AppIndicator and KStatusNotifierItem Support pour voir l’icône de Vantor&#xa0;; en attendant, vantor status affiche vos limites.</translation>
    </message>
    <message>
        <source>Your panel shows no tray icons. Add a system tray to it to see Vantor&apos;s icon; meanwhile vantor status shows your limits.</source>
        <translation>Votre barre n’affiche pas d’icônes de zone de notification. Ajoutez-y une zone de notification pour voir l’icône de Vantor&#xa0;; en attendant, vantor status affiche vos limites.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>vantor: another Vantor owns %1 but does not answer</source>
        <translation>vantor&#xa0;: une autre instance de Vantor détient %1 mais ne répond pas</translation>
    </message>
    <message>
        <source>vantor: Vantor already runs in this session</source>
        <translation>vantor&#xa0;: Vantor fonctionne déjà dans cette session</translation>
    </message>
    <message>
        <source>Vantor is not running and has no stored readings.</source>
        <translation>Vantor n&apos;est pas lancé et n&apos;a aucune mesure enregistrée.</translation>
    </message>
    <message>
        <source>vantor: Vantor is not running</source>
        <translation>vantor&#xa0;: Vantor n&apos;est pas lancé</translation>
    </message>
    <message>
        <source>vantor: the running Vantor did not answer</source>
        <translation>vantor&#xa0;: le Vantor lancé n&apos;a pas répondu</translation>
    </message>
</context>
</TS>
